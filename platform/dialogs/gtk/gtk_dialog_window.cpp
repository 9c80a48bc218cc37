#include "platform/dialogs/gtk/gtk_dialog_window.h"

#include <algorithm>
#include <string>

#include "platform/dialogs/gtk/gtk_controls.h"
#include "platform/dialogs/gtk/gtk_dialog_units.h"
#include "platform/dialogs/gtk/gtk_text.h"

namespace korvan::platform::gtk {
namespace {

constexpr char kControlIdKey[] = "korvan-control-id";
constexpr int32_t kClosedListHeight = 14;  // dialog units; a list's template height is its opened list's

// The template's font: Windows' dialog font names stand for the system's user-interface
// font, which for these Chinese dialogs is a CJK sans.
std::string FontFamily(std::u16string_view name) {
    if (name == u"MS Shell Dlg" || name == u"MS Shell Dlg 2") return "WenQuanYi Micro Hei";
    return Utf8(name);
}

// The template's font for everything in the window, and controls no taller than the
// template makes them.
std::string StyleSheet(const DialogTemplate& dialogTemplate) {
    const std::string window = "#" + DialogWidgetName(dialogTemplate.id);
    std::string css = window + ", " + window + " * { font-family: \"" + FontFamily(dialogTemplate.fontName) +
                      "\"; font-size: " + std::to_string(dialogTemplate.fontPoints) + "pt; }\n";
    css += window + " button, " + window + " entry, " + window + " headerbar " +
           "{ min-height: 0; padding-top: 2px; padding-bottom: 2px; }\n";
    return css;
}

// Runs a change the dialog makes to a control without reporting it back as a command.
class SettingState {
public:
    explicit SettingState(int& depth) : depth_(++depth) {}
    ~SettingState() { --depth_; }
    SettingState(const SettingState&) = delete;
    SettingState& operator=(const SettingState&) = delete;

private:
    int& depth_;
};

}  // namespace

GtkDialogWindow::GtkDialogWindow(Dialog& dialog, const DialogTemplate& dialogTemplate, GtkWindow* parent)
    : dialog_(dialog),
      style_(StyleSheet(dialogTemplate).c_str()),
      window_(gtk_window_new(GTK_WINDOW_TOPLEVEL)),
      header_(gtk_header_bar_new()),
      fixed_(gtk_fixed_new()) {
    GtkWindow* window = Toplevel();
    gtk_widget_set_name(window_.get(), DialogWidgetName(dialogTemplate.id).c_str());
    gtk_header_bar_set_show_close_button(GTK_HEADER_BAR(header_), TRUE);
    gtk_window_set_titlebar(window, header_);
    gtk_widget_show(header_);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_transient_for(window, parent);
    gtk_window_set_position(window, parent != nullptr ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_container_add(GTK_CONTAINER(window), fixed_);
    gtk_widget_show(fixed_);
    SetTitle(dialogTemplate.caption);
    BuildControls(dialogTemplate);
    g_signal_connect(window, "delete-event", G_CALLBACK(&GtkDialogWindow::OnDelete), this);
    g_signal_connect(window, "key-press-event", G_CALLBACK(&GtkDialogWindow::OnKeyPress), this);
}

GtkDialogWindow::~GtkDialogWindow() {
    g_signal_handlers_disconnect_by_data(window_.get(), this);
    for (auto& [id, control] : controls_) g_signal_handlers_disconnect_by_data(control.widget, this);
    controls_.clear();
}

void GtkDialogWindow::BuildControls(const DialogTemplate& dialogTemplate) {
    const DialogUnits units(window_.get());
    gtk_widget_set_size_request(fixed_, units.X(dialogTemplate.width), units.Y(dialogTemplate.height));
    GtkWidget* groupLeader = nullptr;
    for (const ControlTemplate& source : dialogTemplate.controls) {
        std::unique_ptr<GridView> grid;
        if (source.kind == ControlKind::kGrid) grid = std::make_unique<GridView>();
        GtkWidget* widget = grid ? grid->Widget() : MakeControlWidget(source, groupLeader);
        Place(source, widget, units);
        if (source.id == kNoControlId) continue;
        gtk_widget_set_name(widget, ControlWidgetName(source.id).c_str());
        Connect(source.id, source.kind, widget);
        tabOrder_.push_back(source.id);
        controls_.insert_or_assign(source.id, Control{source.kind, widget, std::move(grid)});
    }
}

void GtkDialogWindow::Place(const ControlTemplate& source, GtkWidget* widget, const DialogUnits& units) {
    const bool list = source.kind == ControlKind::kDropDownList;
    const int32_t height = list ? std::min<int32_t>(source.height, kClosedListHeight) : source.height;
    gtk_widget_set_size_request(widget, units.X(source.width), units.Y(height));
    gtk_fixed_put(GTK_FIXED(fixed_), widget, units.X(source.x), units.Y(source.y));
    if ((source.style & kHidden) == 0) gtk_widget_show(widget);
    if (source.kind == ControlKind::kDefaultButton) {
        gtk_widget_set_can_default(widget, TRUE);
        gtk_window_set_default(Toplevel(), widget);
    }
}

void GtkDialogWindow::Connect(int32_t id, ControlKind kind, GtkWidget* widget) {
    g_object_set_data(G_OBJECT(widget), kControlIdKey, GINT_TO_POINTER(id));
    switch (kind) {
        case ControlKind::kPushButton:
        case ControlKind::kDefaultButton:
        case ControlKind::kCheckBox:
        case ControlKind::kRadioButton:
            g_signal_connect(widget, "clicked", G_CALLBACK(&GtkDialogWindow::OnClicked), this);
            break;
        case ControlKind::kDropDownList:
            g_signal_connect(widget, "notify::popup-shown", G_CALLBACK(&GtkDialogWindow::OnPopupShown), this);
            break;
        default:
            break;
    }
}

int32_t GtkDialogWindow::Run(bool focusFirstControl) {
    if (ended_) return result_;
    gtk_widget_show(window_.get());
    if (focusFirstControl) FocusFirstControl();
    const OwnedMainLoop loop(g_main_loop_new(nullptr, FALSE));
    loop_ = loop.get();
    g_main_loop_run(loop_);
    loop_ = nullptr;
    gtk_widget_hide(window_.get());
    if (failure_) std::rethrow_exception(failure_);
    return result_;
}

void GtkDialogWindow::FocusFirstControl() {
    for (const int32_t id : tabOrder_) {
        const Control& control = controls_.at(id);
        if (gtk_widget_get_can_focus(control.widget) && gtk_widget_is_sensitive(control.widget) &&
            gtk_widget_get_visible(control.widget) && control.kind != ControlKind::kGrid) {
            gtk_widget_grab_focus(control.widget);
            return;
        }
    }
}

void GtkDialogWindow::End(int32_t result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    if (loop_ != nullptr) g_main_loop_quit(loop_);
}

void GtkDialogWindow::Route(int32_t id, ControlEvent event) {
    if (settingState_ > 0 || failure_) return;
    try {
        dialog_.Command(id, event);
    } catch (...) {
        failure_ = std::current_exception();
        End(kDialogFailed);
    }
}

void GtkDialogWindow::OnClicked(GtkWidget* widget, gpointer self) {
    // A radio button that a click turned off reports nothing; the one turned on does.
    if (GTK_IS_RADIO_BUTTON(widget) && !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget))) return;
    const int32_t id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kControlIdKey));
    static_cast<GtkDialogWindow*>(self)->Route(id, ControlEvent::kClicked);
}

void GtkDialogWindow::OnPopupShown(GtkWidget* widget, GParamSpec*, gpointer self) {
    gboolean shown = FALSE;
    g_object_get(widget, "popup-shown", &shown, nullptr);
    if (shown) return;
    const int32_t id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kControlIdKey));
    static_cast<GtkDialogWindow*>(self)->Route(id, ControlEvent::kDropDownClosed);
}

gboolean GtkDialogWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<GtkDialogWindow*>(self)->Route(kIdCancel, ControlEvent::kClicked);
    return TRUE;  // the dialog decides whether the window goes
}

gboolean GtkDialogWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    static_cast<GtkDialogWindow*>(self)->Route(kIdCancel, ControlEvent::kClicked);
    return TRUE;
}

GtkWidget* GtkDialogWindow::Find(int32_t id, ControlKind kind) const {
    const auto found = controls_.find(id);
    return found != controls_.end() && found->second.kind == kind ? found->second.widget : nullptr;
}

void GtkDialogWindow::SetTitle(std::u16string_view title) {
    const std::string text = Utf8(title);
    gtk_window_set_title(Toplevel(), text.c_str());
    gtk_header_bar_set_title(GTK_HEADER_BAR(header_), text.c_str());
}

std::u16string GtkDialogWindow::Title() const { return Utf16(gtk_window_get_title(Toplevel())); }

void GtkDialogWindow::SetControlText(int32_t id, std::u16string_view text) {
    const auto found = controls_.find(id);
    if (found == controls_.end()) return;
    const SettingState setting(settingState_);
    const std::string utf8 = Utf8(text);
    GtkWidget* widget = found->second.widget;
    if (GTK_IS_ENTRY(widget)) gtk_entry_set_text(GTK_ENTRY(widget), utf8.c_str());
    else if (GTK_IS_LABEL(widget)) gtk_label_set_text(GTK_LABEL(widget), utf8.c_str());
    else if (GTK_IS_BUTTON(widget)) gtk_button_set_label(GTK_BUTTON(widget), utf8.c_str());
    else if (GTK_IS_FRAME(widget)) gtk_frame_set_label(GTK_FRAME(widget), utf8.c_str());
}

std::u16string GtkDialogWindow::ControlText(int32_t id) const {
    const auto found = controls_.find(id);
    if (found == controls_.end()) return {};
    GtkWidget* widget = found->second.widget;
    if (GTK_IS_ENTRY(widget)) return Utf16(gtk_entry_get_text(GTK_ENTRY(widget)));
    if (GTK_IS_LABEL(widget)) return Utf16(gtk_label_get_text(GTK_LABEL(widget)));
    if (GTK_IS_BUTTON(widget)) return Utf16(gtk_button_get_label(GTK_BUTTON(widget)));
    if (GTK_IS_FRAME(widget)) return Utf16(gtk_frame_get_label(GTK_FRAME(widget)));
    return {};
}

void GtkDialogWindow::SetCheck(int32_t id, int32_t state) {
    GtkWidget* widget = Find(id, ControlKind::kCheckBox);
    if (widget == nullptr) widget = Find(id, ControlKind::kRadioButton);
    if (widget == nullptr) return;
    const SettingState setting(settingState_);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), state != 0);
}

int32_t GtkDialogWindow::Check(int32_t id) const {
    GtkWidget* widget = Find(id, ControlKind::kCheckBox);
    if (widget == nullptr) widget = Find(id, ControlKind::kRadioButton);
    return widget != nullptr && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)) ? 1 : 0;
}

void GtkDialogWindow::ShowControl(int32_t id, bool shown) {
    const auto found = controls_.find(id);
    if (found != controls_.end()) gtk_widget_set_visible(found->second.widget, shown);
}

void GtkDialogWindow::EnableControl(int32_t id, bool enabled) {
    const auto found = controls_.find(id);
    if (found != controls_.end()) gtk_widget_set_sensitive(found->second.widget, enabled);
}

void GtkDialogWindow::ClearList(int32_t id) {
    if (GtkWidget* list = Find(id, ControlKind::kDropDownList)) {
        const SettingState setting(settingState_);
        gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(list));
    }
}

void GtkDialogWindow::InsertListItem(int32_t id, int32_t position, std::u16string_view text) {
    if (GtkWidget* list = Find(id, ControlKind::kDropDownList)) {
        const SettingState setting(settingState_);
        gtk_combo_box_text_insert(GTK_COMBO_BOX_TEXT(list), position, nullptr, Utf8(text).c_str());
    }
}

int32_t GtkDialogWindow::ListCount(int32_t id) const {
    GtkWidget* list = Find(id, ControlKind::kDropDownList);
    if (list == nullptr) return 0;
    return gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(list)), nullptr);
}

void GtkDialogWindow::SelectListItem(int32_t id, int32_t index) {
    if (GtkWidget* list = Find(id, ControlKind::kDropDownList)) {
        const SettingState setting(settingState_);
        gtk_combo_box_set_active(GTK_COMBO_BOX(list), index);
    }
}

int32_t GtkDialogWindow::ListSelection(int32_t id) const {
    GtkWidget* list = Find(id, ControlKind::kDropDownList);
    return list != nullptr ? gtk_combo_box_get_active(GTK_COMBO_BOX(list)) : kListError;
}

IDispatch* GtkDialogWindow::ControlObject(int32_t id) {
    const auto found = controls_.find(id);
    return found != controls_.end() && found->second.grid ? found->second.grid->Control().Interface() : nullptr;
}

}  // namespace korvan::platform::gtk
