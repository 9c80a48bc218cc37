#include "channels/zelk_grid.h"

#include <array>

#include "platform/dialogs/grid_dispatch.h"

namespace korvan {

using namespace platform::grid;

int32_t C_ZelkGrid::GetRows() const { return driver_.GetIntegerProperty(kRows); }

void C_ZelkGrid::SetRows(int32_t rows) const { driver_.SetProperty(kRows, platform::kParamInteger, rows); }

void C_ZelkGrid::SetCols(int32_t cols) const { driver_.SetProperty(kCols, platform::kParamInteger, cols); }

int32_t C_ZelkGrid::GetRow() const { return driver_.GetIntegerProperty(kRow); }

void C_ZelkGrid::SetRow(int32_t row) const { driver_.SetProperty(kRow, platform::kParamInteger, row); }

void C_ZelkGrid::SetCol(int32_t col) const { driver_.SetProperty(kCol, platform::kParamInteger, col); }

void C_ZelkGrid::SetRedraw(bool on) const { driver_.SetProperty(kRedraw, platform::kParamBoolean, on); }

void C_ZelkGrid::SetRowHeightMin(int32_t twips) const {
    driver_.SetProperty(kRowHeightMin, platform::kParamInteger, twips);
}

void C_ZelkGrid::SetText(std::u16string_view text) const { driver_.SetProperty(kText, platform::kParamText, text); }

void C_ZelkGrid::SetColWidth(int32_t col, int32_t width) const { PutIndexed(kColWidth, col, width); }

void C_ZelkGrid::SetColAlignment(int32_t col, int32_t alignment) const {
    PutIndexed(kColAlignment, col, alignment);
}

void C_ZelkGrid::SetFixedAlignment(int32_t col, int32_t alignment) const {
    PutIndexed(kFixedAlignment, col, alignment);
}

void C_ZelkGrid::PutIndexed(int32_t dispid, int32_t index, int32_t value) const {
    static constexpr char kTwoIntegers[] = {platform::kParamInteger, platform::kParamInteger};
    const std::array<platform::Argument, 2> arguments = {index, value};
    driver_.InvokeHelper(dispid, DISPATCH_PROPERTYPUT, nullptr, std::string_view(kTwoIntegers, 2), arguments);
}

}  // namespace korvan
