// The entry of the GTK dialog module (Korvan.gtk.so): the driver calls it each time
// a dialog is to open. The toolkit starts on the first call that finds a display;
// until one opens every call tries again with the DISPLAY of that moment.
#include <gtk/gtk.h>

#include <type_traits>

#include "platform/dialog_system_module.h"
#include "platform/gtk/gtk_backend.h"
#include "platform/module.h"

KORVAN_EXPORT korvan::platform::DialogBackend* KorvanGtkDialogBackend() {
    static korvan::platform::gtk::GtkBackend onScreen;  // one for the process: nested dialogs stack on it
    return gtk_init_check(nullptr, nullptr) != FALSE ? &onScreen : nullptr;
}

static_assert(std::is_same_v<decltype(&KorvanGtkDialogBackend), korvan::platform::DialogModuleEntry>);
