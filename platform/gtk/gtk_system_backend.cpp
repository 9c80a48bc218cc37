// The system's dialog backend in builds with GTK: GTK once a display opens,
// otherwise (no display) the backend that opens nothing.
#include <dlfcn.h>
#include <gtk/gtk.h>

#include "platform/dialog_none.h"
#include "platform/module.h"
#include "platform/gtk/gtk_backend.h"

namespace korvan::platform {
namespace {

// The driver may be unloaded and loaded again, but the toolkit it links must stay
// for the rest of the process once loaded: its libraries set up state when they
// load, and once asked to start it registers types with GLib, which outlives every
// unload, and keeps its display connection. So it is pinned as the module loads.
KORVAN_ON_MODULE_LOAD void KeepToolkitLoaded() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&gtk_init_check), &info) == 0 || info.dli_fname == nullptr) return;
    if (void* toolkit = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(toolkit);
}

bool DisplayOpens() { return gtk_init_check(nullptr, nullptr) != FALSE; }

}  // namespace

DialogBackend& SystemDialogBackend() {
    static NoDialogBackend none;
    static const bool display = DisplayOpens();
    static gtk::GtkBackend onScreen;
    if (!display) return none;
    return onScreen;
}

}  // namespace korvan::platform
