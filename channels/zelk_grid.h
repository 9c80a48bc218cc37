// The channel dialog's handle on the host system's grid control (control 8001):
// each operation is one automation property call on the control by dispatch
// identifier. The dialog's window owns the control; this wrapper only borrows it.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/automation/automation_driver.h"

namespace korvan {

class C_ZelkGrid {
public:
    static constexpr char kClassName[] = "C_ZelkGrid";

    // Borrows the control's interface (no reference is taken); Detach forgets it.
    void Attach(IDispatch* control) { driver_.AttachDispatch(control, false); }
    void Detach() { driver_.ReleaseDispatch(); }

    int32_t GetRows() const;
    void SetRows(int32_t rows) const;
    void SetCols(int32_t cols) const;
    int32_t GetRow() const;
    void SetRow(int32_t row) const;
    void SetCol(int32_t col) const;
    void SetRedraw(bool on) const;
    void SetRowHeightMin(int32_t twips) const;  // set once at setup
    void SetText(std::u16string_view text) const;  // of the current cell
    void SetColWidth(int32_t col, int32_t width) const;
    void SetColAlignment(int32_t col, int32_t alignment) const;
    void SetFixedAlignment(int32_t col, int32_t alignment) const;

private:
    void PutIndexed(int32_t dispid, int32_t index, int32_t value) const;

    platform::AutomationDriver driver_;
};

}  // namespace korvan
