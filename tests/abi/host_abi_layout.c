/* The public header compiles as C, and its structures have the layout the host
   expects on both targets: natural alignment, 32-bit members, target-sized pointers. */
#include <stddef.h>

#include "korvan/host_abi.h"

#define P sizeof(void *)
#define BY_POINTER(on64, on32) (P == 8 ? (on64) : (on32))

_Static_assert(offsetof(HostIntArray, data) == P, "array data follows the header word");
_Static_assert(offsetof(HostIntArray, count) == 2 * P, "count");
_Static_assert(offsetof(HostIntArray, growBy) == 2 * P + 8, "growBy");
_Static_assert(sizeof(HostStringArray) == BY_POINTER(32, 20), "string array size");
_Static_assert(sizeof(HostString) == P, "a host string is one pointer");
_Static_assert(offsetof(ConfigArchive, buffer) == P, "buffer held by value");
_Static_assert(offsetof(ConfigArchive, position) == BY_POINTER(40, 24), "position");
_Static_assert(offsetof(ConfigArchive, mode) == BY_POINTER(44, 28), "mode");
_Static_assert(offsetof(DeviceInstance, configArchive) == BY_POINTER(16, 12), "configArchive");
_Static_assert(offsetof(DeviceInstance, deviceState) == BY_POINTER(24, 16), "deviceState");
_Static_assert(offsetof(DeviceInstance, portKind) == BY_POINTER(32, 20), "portKind");
_Static_assert(offsetof(DeviceInstance, portHandle) == BY_POINTER(36, 24), "portHandle");
_Static_assert(sizeof(VARIANT) == BY_POINTER(24, 16), "VARIANT");
_Static_assert(sizeof(GUID) == 16, "GUID");
_Static_assert(offsetof(DISPPARAMS, cArgs) == 2 * P, "DISPPARAMS");
#ifndef _WIN32
/* Windows takes these from its own headers. */
_Static_assert(offsetof(VARIANT, u) == 8, "VARIANT value");
_Static_assert(sizeof(struct IDispatchVtbl) == 7 * P, "seven methods");
#endif

int korvan_host_abi_layout_checked(void) { return 1; }
