#include "platform/dialogs/gtk/gtk_backend.h"

#include <algorithm>

#include "platform/dialogs/gtk/gtk_dialog_window.h"
#include "platform/dialogs/gtk/gtk_message_box.h"

namespace korvan::platform::gtk {
namespace {

// Keeps a window on the stack of open dialogs while it runs.
class OpenWindow {
public:
    OpenWindow(std::vector<GtkDialogWindow*>& stack, GtkDialogWindow& window) : stack_(stack) {
        stack_.push_back(&window);
    }
    ~OpenWindow() { stack_.pop_back(); }
    OpenWindow(const OpenWindow&) = delete;
    OpenWindow& operator=(const OpenWindow&) = delete;

private:
    std::vector<GtkDialogWindow*>& stack_;
};

}  // namespace

int32_t GtkBackend::RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate) {
    GtkWindow* parent = open_.empty() ? nullptr : open_.back()->Toplevel();
    GtkDialogWindow window(dialog, dialogTemplate, parent);
    const OpenWindow running(open_, window);
    const OpenDialog open(dialog, window, dialogTemplate);
    return window.Run(open.FocusWanted());
}

int32_t GtkBackend::ShowMessageBox(DialogWindow* owner, std::u16string_view text, std::u16string_view caption,
                                   uint32_t style) {
    const auto found = std::find(open_.begin(), open_.end(), owner);
    GtkDialogWindow* parent = found != open_.end() ? *found : (open_.empty() ? nullptr : open_.back());
    return RunMessageBox(parent != nullptr ? parent->Toplevel() : nullptr, text, caption, style);
}

}  // namespace korvan::platform::gtk
