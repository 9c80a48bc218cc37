// The driver module's entry on Windows. The C runtime's start-up code has built the
// module's static objects before DllMain sees DLL_PROCESS_ATTACH, and destroys them
// after DllMain has seen DLL_PROCESS_DETACH. A detach with lpReserved set is the
// process ending: the host's objects may be gone by then, so the driver forgets them
// instead of releasing them. Thread notifications change nothing: another thread may
// be using what the driver set up at attach.
#include <windows.h>

#include "platform/system/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    using namespace korvan::platform;
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleLoaded(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (reserved == nullptr) ModuleUnloading();
        else ProcessEnding();
    }
    return TRUE;
}
