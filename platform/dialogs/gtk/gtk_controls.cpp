#include "platform/dialogs/gtk/gtk_controls.h"

#include "platform/dialogs/gtk/gtk_text.h"

namespace korvan::platform::gtk {
namespace {

float HorizontalAlignment(uint32_t style) {
    if ((style & kAlignRight) != 0) return 1.0f;
    return (style & kAlignCenter) != 0 ? 0.5f : 0.0f;
}

GtkWidget* MakeLabel(const ControlTemplate& control) {
    GtkWidget* label = gtk_label_new(Utf8(control.text).c_str());
    gtk_label_set_xalign(GTK_LABEL(label), HorizontalAlignment(control.style));
    gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
    gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
    return label;
}

GtkWidget* MakeEdit() {
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);  // the template decides the width
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    return entry;
}

GtkWidget* MakeRadioButton(const ControlTemplate& control, GtkWidget*& groupLeader) {
    if ((control.style & kGroupStart) != 0) groupLeader = nullptr;
    GtkWidget* button = gtk_radio_button_new_with_label_from_widget(
        groupLeader != nullptr ? GTK_RADIO_BUTTON(groupLeader) : nullptr, Utf8(control.text).c_str());
    if (groupLeader == nullptr) groupLeader = button;
    return button;
}

GtkWidget* MakeWidget(const ControlTemplate& control, GtkWidget*& groupLeader) {
    const std::string text = Utf8(control.text);
    switch (control.kind) {
        case ControlKind::kLabel: return MakeLabel(control);
        case ControlKind::kPushButton:
        case ControlKind::kDefaultButton: return gtk_button_new_with_label(text.c_str());
        case ControlKind::kEdit: return MakeEdit();
        case ControlKind::kDropDownList: return gtk_combo_box_text_new();
        case ControlKind::kCheckBox: return gtk_check_button_new_with_label(text.c_str());
        case ControlKind::kRadioButton: return MakeRadioButton(control, groupLeader);
        case ControlKind::kGroupBox: return gtk_frame_new(text.c_str());
        case ControlKind::kGrid: break;
    }
    return nullptr;
}

}  // namespace

std::string ControlWidgetName(int32_t id) { return "control-" + std::to_string(id); }

std::string DialogWidgetName(int32_t templateId) { return "dialog-" + std::to_string(templateId); }

GtkWidget* MakeControlWidget(const ControlTemplate& control, GtkWidget*& groupLeader) {
    if ((control.style & kGroupStart) != 0 && control.kind != ControlKind::kRadioButton) groupLeader = nullptr;
    GtkWidget* widget = MakeWidget(control, groupLeader);
    if (widget == nullptr) return nullptr;
    gtk_widget_set_sensitive(widget, (control.style & kDisabled) == 0);
    gtk_widget_set_can_focus(widget, (control.style & kTabStop) != 0 || control.kind == ControlKind::kEdit);
    return widget;
}

}  // namespace korvan::platform::gtk
