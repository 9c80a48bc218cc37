// Dialog templates as the resource compiler leaves them in a module: a dialog's
// caption, font and size, and its controls in tab order, all in dialog units.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/system/module.h"

namespace korvan::platform {

enum class ControlKind : uint8_t {
    kLabel,          // static text
    kPushButton,
    kDefaultButton,  // the push button that Enter presses
    kEdit,
    kDropDownList,
    kCheckBox,
    kRadioButton,
    kGroupBox,
    kGrid,  // the embedded grid control
};

// Style bits the backends care about; every other style of the script is layout only.
enum ControlStyle : uint32_t {
    kGroupStart = 1u << 0,  // begins a group (of radio buttons, for one)
    kTabStop = 1u << 1,
    kDisabled = 1u << 2,
    kHidden = 1u << 3,
    kAlignRight = 1u << 4,
    kAlignCenter = 1u << 5,
};

inline constexpr int32_t kNoControlId = -1;  // labels and frames nobody addresses

struct ControlTemplate {
    ControlKind kind;
    int32_t id;
    std::u16string_view text;
    int16_t x, y, width, height;
    uint32_t style;
};

struct DialogTemplate {
    int32_t id;
    std::u16string_view caption;
    std::u16string_view fontName;
    int16_t fontPoints;
    int16_t width, height;
    std::span<const ControlTemplate> controls;

    const ControlTemplate* Control(int32_t controlId) const;
    // The radio buttons of the group that holds the radio button `memberId`, in
    // template order; a group runs from a kGroupStart control to the next one.
    std::vector<int32_t> RadioGroup(int32_t memberId) const;
};

// The templates compiled into this module from its resource script.
std::span<const DialogTemplate> LinkedDialogTemplates();
// The template `id` of `module` (nullptr: the module holding this code); nullptr when
// that module has no such template.
const DialogTemplate* FindDialogTemplate(ModuleHandle module, int32_t id);

}  // namespace korvan::platform
