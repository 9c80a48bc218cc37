// The grid control's properties by dispatch identifier: the contract between the
// host system's grid and the driver's wrapper around it.
#pragma once

#include <cstdint>

namespace korvan::platform::grid {

enum Property : int32_t {
    kFixedAlignment = 0x68030000,  // put (column, alignment): the header cells
    kColAlignment = 0x68030001,    // put (column, alignment)
    kColWidth = 0x68030003,        // put (column, width)
    kText = 0x68030009,            // put: the current cell's text
    kRowHeightMin = 0x6803000F,    // put: set once at setup
    kRedraw = 0x68030011,          // put: boolean
    kCol = 0x6803002C,             // put: the current column
    kRow = 0x6803002D,             // get, put: the current row
    kCols = 0x6803002E,            // put: the column count
    kRows = 0x6803002F,            // get, put: the row count
};

}  // namespace korvan::platform::grid
