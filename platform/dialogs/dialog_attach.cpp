// What a dialog's window calls on its dialog: attaching and initialising it while the
// window exists (OpenDialog), and the commands of its controls. This code keeps no
// state of its own, so the GTK dialog module compiles it for its windows as well.
#include "platform/dialogs/dialog.h"

namespace korvan::platform {

void Dialog::Command(int32_t id, ControlEvent event) {
    if (!IsOpen() || window_->Ended()) return;
    for (const Route& route : routes_) {
        if (route.id == id && route.event == event) {
            route.handler();
            return;
        }
    }
    if (event != ControlEvent::kClicked) return;
    if (id == kIdOk) OnOK();
    if (id == kIdCancel) OnCancel();
}

OpenDialog::OpenDialog(Dialog& dialog, DialogWindow& window, const DialogTemplate& dialogTemplate)
    : dialog_(dialog) {
    dialog_.window_ = &window;
    dialog_.template_ = &dialogTemplate;
    try {
        focusWanted_ = dialog_.OnInitDialog();
    } catch (...) {
        Detach();
        throw;
    }
}

OpenDialog::~OpenDialog() {
    dialog_.OnDestroy();
    Detach();
}

void OpenDialog::Detach() {
    dialog_.window_ = nullptr;
    dialog_.template_ = nullptr;
}

}  // namespace korvan::platform
