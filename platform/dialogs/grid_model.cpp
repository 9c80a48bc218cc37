#include "platform/dialogs/grid_model.h"

#include <algorithm>

namespace korvan::platform {
namespace {

constexpr int32_t kStartRows = 2;
constexpr int32_t kStartCols = 2;

bool IsAlignment(int32_t alignment) { return alignment >= 0 && alignment <= kAlignGeneral; }

}  // namespace

GridModel::GridModel()
    : cells_(kStartRows, std::vector<std::u16string>(kStartCols)), columns_(kStartCols) {}

bool GridModel::SetRows(int32_t rows) {
    if (rows < 1) return false;
    cells_.resize(static_cast<std::size_t>(rows), std::vector<std::u16string>(columns_.size()));
    row_ = std::min(row_, rows - 1);
    ContentChanged();
    return true;
}

bool GridModel::SetCols(int32_t cols) {
    if (cols < 1) return false;
    columns_.resize(static_cast<std::size_t>(cols));
    for (auto& line : cells_) line.resize(columns_.size());
    col_ = std::min(col_, cols - 1);
    ContentChanged();
    return true;
}

bool GridModel::SetRow(int32_t row) {
    if (row < 0 || row >= Rows()) return false;
    row_ = row;
    CursorMoved();
    return true;
}

bool GridModel::SetCol(int32_t col) {
    if (!HoldsColumn(col)) return false;
    col_ = col;
    return true;
}

void GridModel::SetRedraw(bool on) {
    const bool switchedOn = on && !redraw_;
    redraw_ = on;
    if (!switchedOn) return;
    ContentChanged();
    CursorMoved();
}

bool GridModel::SetRowHeightMin(int32_t twips) {
    if (twips < 0) return false;
    rowHeightMin_ = twips;
    ContentChanged();
    return true;
}

void GridModel::SetText(std::u16string_view text) {
    cells_[row_][col_] = text;
    ContentChanged();
}

bool GridModel::SetColWidth(int32_t col, int32_t width) {
    if (!HoldsColumn(col) || width < kDefaultWidth) return false;
    columns_[col].width = width;
    ContentChanged();
    return true;
}

bool GridModel::SetColAlignment(int32_t col, int32_t alignment) {
    if (!HoldsColumn(col) || !IsAlignment(alignment)) return false;
    columns_[col].alignment = alignment;
    ContentChanged();
    return true;
}

bool GridModel::SetFixedAlignment(int32_t col, int32_t alignment) {
    if (!HoldsColumn(col) || !IsAlignment(alignment)) return false;
    columns_[col].fixedAlignment = alignment;
    ContentChanged();
    return true;
}

void GridModel::ContentChanged() {
    if (redraw_ && listener_ != nullptr) listener_->GridContentChanged();
}

void GridModel::CursorMoved() {
    if (redraw_ && listener_ != nullptr) listener_->GridCursorMoved();
}

}  // namespace korvan::platform
