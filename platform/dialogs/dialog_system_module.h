// The dialog module: the GTK dialog backend as a shared module of its own, which
// the driver looks for in its own folder and loads the first time a dialog is to
// open. The driver itself then needs no toolkit.
#pragma once

#include "platform/dialogs/dialog_backend.h"

namespace korvan::platform {

inline constexpr char kDialogModuleFile[] = "Korvan.gtk.so";
inline constexpr char kDialogModuleEntry[] = "KorvanGtkDialogBackend";

// The module's one export: its backend when a display opens now, otherwise nullptr.
// It is asked again for every dialog, so a display that comes later is used then.
using DialogModuleEntry = DialogBackend* (*)();

}  // namespace korvan::platform
