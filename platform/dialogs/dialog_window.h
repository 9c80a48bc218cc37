// The live window of a dialog while it runs, as each backend builds it from the
// template: what a dialog asks of its controls. Lists follow the drop-down list's
// rules: positions from 0, -1 for "no selection" and for a request that fails.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "korvan/host_abi.h"

namespace korvan::platform {

inline constexpr int32_t kListError = -1;

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    virtual void SetTitle(std::u16string_view title) = 0;
    virtual std::u16string Title() const = 0;

    virtual void SetControlText(int32_t id, std::u16string_view text) = 0;
    virtual std::u16string ControlText(int32_t id) const = 0;
    virtual void SetCheck(int32_t id, int32_t state) = 0;  // 0 clear, 1 checked
    virtual int32_t Check(int32_t id) const = 0;
    virtual void ShowControl(int32_t id, bool shown) = 0;
    virtual void EnableControl(int32_t id, bool enabled) = 0;

    virtual void ClearList(int32_t id) = 0;
    // `position` is already checked to lie in 0..count.
    virtual void InsertListItem(int32_t id, int32_t position, std::u16string_view text) = 0;
    virtual int32_t ListCount(int32_t id) const = 0;
    // `index` is already checked to lie in -1..count-1.
    virtual void SelectListItem(int32_t id, int32_t index) = 0;
    virtual int32_t ListSelection(int32_t id) const = 0;

    // The automation interface of an embedded control (the grid); nullptr for others.
    // The window owns it: it lives as long as the window.
    virtual IDispatch* ControlObject(int32_t id) = 0;

    // Ends the modal run with `result` once the current command has been handled.
    virtual void End(int32_t result) = 0;
    virtual bool Ended() const = 0;
};

}  // namespace korvan::platform
