#include "platform/dialogs/dialog_template.h"

namespace korvan::platform {

const ControlTemplate* DialogTemplate::Control(int32_t controlId) const {
    for (const ControlTemplate& control : controls) {
        if (control.id == controlId) return &control;
    }
    return nullptr;
}

std::vector<int32_t> DialogTemplate::RadioGroup(int32_t memberId) const {
    std::vector<int32_t> group;
    bool found = false;
    for (const ControlTemplate& control : controls) {
        if ((control.style & kGroupStart) != 0) {
            if (found) break;
            group.clear();
        }
        if (control.kind == ControlKind::kRadioButton) group.push_back(control.id);
        found = found || (control.id == memberId && control.kind == ControlKind::kRadioButton);
    }
    if (!found) group.clear();
    return group;
}

const DialogTemplate* FindDialogTemplate(ModuleHandle module, int32_t id) {
    const std::span<const DialogTemplate> linked = LinkedDialogTemplates();
    if (module != nullptr && module != ModuleContaining(linked.data())) return nullptr;
    for (const DialogTemplate& found : linked) {
        if (found.id == id) return &found;
    }
    return nullptr;
}

}  // namespace korvan::platform
