// The cells and layout of the channel grid: a table of texts whose row 0 is the
// fixed header row, a cursor (current row and column) that text is written at,
// per-column widths and alignments, and a redraw switch that holds back the views.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvan::platform {

// Told about changes while redraw is on, and about everything at once when it is
// switched back on.
class GridListener {
public:
    virtual void GridContentChanged() = 0;
    virtual void GridCursorMoved() = 0;

protected:
    ~GridListener() = default;
};

inline constexpr int32_t kAlignGeneral = 9;  // alignments run 0..9, 4 centres both ways
inline constexpr int32_t kDefaultWidth = -1;

struct GridColumn {
    int32_t width = kDefaultWidth;  // twips
    int32_t alignment = kAlignGeneral;
    int32_t fixedAlignment = kAlignGeneral;  // of the header cell
};

class GridModel {
public:
    GridModel();

    int32_t Rows() const { return static_cast<int32_t>(cells_.size()); }
    int32_t Cols() const { return static_cast<int32_t>(columns_.size()); }
    int32_t Row() const { return row_; }
    int32_t Col() const { return col_; }
    bool Redraw() const { return redraw_; }
    int32_t RowHeightMin() const { return rowHeightMin_; }
    const std::u16string& Cell(int32_t row, int32_t col) const { return cells_[row][col]; }
    const GridColumn& Column(int32_t col) const { return columns_[col]; }

    // Each answers false and changes nothing when a value is out of range. Rows and
    // columns start at 1; shrinking keeps the cursor on the last remaining line.
    bool SetRows(int32_t rows);
    bool SetCols(int32_t cols);
    bool SetRow(int32_t row);
    bool SetCol(int32_t col);
    void SetRedraw(bool on);
    bool SetRowHeightMin(int32_t twips);
    void SetText(std::u16string_view text);  // the cell under the cursor
    bool SetColWidth(int32_t col, int32_t width);
    bool SetColAlignment(int32_t col, int32_t alignment);
    bool SetFixedAlignment(int32_t col, int32_t alignment);

    void SetListener(GridListener* listener) { listener_ = listener; }

private:
    bool HoldsColumn(int32_t col) const { return col >= 0 && col < Cols(); }
    void ContentChanged();
    void CursorMoved();

    std::vector<std::vector<std::u16string>> cells_;
    std::vector<GridColumn> columns_;
    int32_t row_ = 0;
    int32_t col_ = 0;
    bool redraw_ = true;
    int32_t rowHeightMin_ = 0;
    GridListener* listener_ = nullptr;
};

}  // namespace korvan::platform
