// The entry of the GTK dialog module (Korvan.gtk.so): the driver calls it each time
// a dialog is to open. The toolkit starts on the first call that finds a display;
// until one opens every call tries again with the DISPLAY of that moment.
#include <gtk/gtk.h>

#include <atomic>
#include <mutex>
#include <type_traits>

#include "platform/dialogs/dialog_system_module.h"
#include "platform/dialogs/gtk/gtk_backend.h"
#include "platform/system/module.h"

KORVAN_EXPORT korvan::platform::DialogBackend* KorvanGtkDialogBackend() {
    static korvan::platform::gtk::GtkBackend onScreen;  // one for the process: nested dialogs stack on it
    // The toolkit's start is not safe on two threads at once; once it has started it
    // is not asked again.
    static std::atomic<bool> started{false};
    static std::mutex starting;
    if (!started.load(std::memory_order_acquire)) {
        const std::lock_guard lock(starting);
        if (!started.load(std::memory_order_relaxed) && gtk_init_check(nullptr, nullptr) != FALSE) {
            started.store(true, std::memory_order_release);
        }
    }
    return started.load(std::memory_order_acquire) ? &onScreen : nullptr;
}

static_assert(std::is_same_v<decltype(&KorvanGtkDialogBackend), korvan::platform::DialogModuleEntry>);
