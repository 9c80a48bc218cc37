#include "platform/dialogs/gtk/gtk_message_box.h"

#include "platform/dialogs/dialog.h"
#include "platform/dialogs/dialog_backend.h"
#include "platform/dialogs/gtk/gtk_handles.h"
#include "platform/dialogs/gtk/gtk_text.h"

namespace korvan::platform::gtk {

int32_t RunMessageBox(GtkWindow* parent, std::u16string_view text, std::u16string_view caption, uint32_t style) {
    const bool question = (style & kMbIconQuestion) != 0;
    const bool okCancel = (style & kMbOkCancel) != 0;
    const auto flags = static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT);
    const std::string message = Utf8(text);
    const std::string title = Utf8(caption);
    const OwnedWidget box(gtk_message_dialog_new(parent, flags, question ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_INFO,
                                                 GTK_BUTTONS_NONE, "%s", message.c_str()));
    GtkDialog* dialog = GTK_DIALOG(box.get());
    gtk_widget_set_name(box.get(), kMessageBoxName);
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    if (okCancel) gtk_dialog_add_button(dialog, "取消", GTK_RESPONSE_CANCEL);
    gtk_dialog_add_button(dialog, "确定", GTK_RESPONSE_OK);
    gtk_dialog_set_default_response(dialog, GTK_RESPONSE_OK);
    const int response = gtk_dialog_run(dialog);
    return response == GTK_RESPONSE_OK || !okCancel ? kIdOk : kIdCancel;
}

}  // namespace korvan::platform::gtk
