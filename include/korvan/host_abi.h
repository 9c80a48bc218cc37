/*
 * Korvan — the C contract between an HMI host and the VLT5000 driver.
 *
 * On Linux a host loads Korvan.drv (or Korvan_ARMV4.drv) with dlopen; every block that
 * crosses the boundary (array storage, string text, BSTR) comes from the C library's
 * malloc and may be freed by either side; texts are UTF-16 in char16_t.
 *
 * On 32-bit Windows a host loads Korvan.drv with LoadLibraryW. The shared heap is the
 * process heap (HeapAlloc, HeapReAlloc and HeapFree on GetProcessHeap()), texts are
 * UTF-16 in wchar_t, the automation types are the system's own from <oaidl.h> and
 * <oleauto.h> (BSTRs from SysAllocString, freed with SysFreeString), and the port
 * handle is the HANDLE of the opened COM port. This header includes <windows.h> and
 * <oleauto.h> itself, and goes with them in either order.
 *
 * Either way the host calls the fifteen entry points below, __cdecl on Windows whatever
 * the host's compiler takes by default. Structures use the target's natural alignment;
 * nothing is packed.
 */
#ifndef KORVAN_HOST_ABI_H
#define KORVAN_HOST_ABI_H

#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#include <oleauto.h>
#elif !defined(__cplusplus)
#include <uchar.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The entry points' calling convention, and the unit of the host's UTF-16 texts. */
#ifdef _WIN32
#define KORVAN_CALL __cdecl
typedef wchar_t KorvanChar;
#else
#define KORVAN_CALL
typedef char16_t KorvanChar;
#endif

/* ---- Host containers --------------------------------------------------------- */

/* text == NULL is the empty text; otherwise a zero-terminated block of the shared heap
   owned by the HostString. Assigning frees the old block and stores a new one. */
typedef struct HostString { KorvanChar *text; } HostString;

/* `host` is the host's header word; the driver never reads or writes it. `data` is
   NULL exactly when `capacity` is 0; slots from `count` to `capacity` hold no live
   value (string slots there are NULL). */
typedef struct HostIntArray    { void *host; int32_t    *data; int32_t count; int32_t capacity; int32_t growBy; } HostIntArray;
typedef struct HostByteArray   { void *host; uint8_t    *data; int32_t count; int32_t capacity; int32_t growBy; } HostByteArray;
typedef struct HostDoubleArray { void *host; double     *data; int32_t count; int32_t capacity; int32_t growBy; } HostDoubleArray;
typedef struct HostStringArray { void *host; HostString *data; int32_t count; int32_t capacity; int32_t growBy; } HostStringArray;

/* ---- Device records ---------------------------------------------------------- */

/* The port the host opened: on Windows the HANDLE of the COM port (NULL and
   INVALID_HANDLE_VALUE = none), elsewhere the file descriptor of the tty (0 and -1 =
   none). */
#ifdef _WIN32
typedef void *KorvanPortHandle;
#else
typedef int32_t KorvanPortHandle;
#endif

typedef struct ConfigArchive {
    void         *host;      /* the host's; never touched by the driver */
    HostByteArray buffer;    /* held by value */
    int32_t       position;
    int32_t       mode;      /* 1 storing, 0 loading */
} ConfigArchive;

typedef struct DeviceInstance {
    int32_t        host[3];        /* the host's; never touched by the driver */
    ConfigArchive *configArchive;
    void          *deviceState;    /* the driver's; NULL until it loads the device */
    int32_t        portKind;       /* 2 = serial port */
    KorvanPortHandle portHandle;   /* the opened port; see KorvanPortHandle for "none" */
} DeviceInstance;

/* ---- Automation objects ------------------------------------------------------ */

#ifndef _WIN32
/* Windows' own layout, with the target's natural sizes and default calling convention
   (on Windows the system's headers define these). */
typedef struct GUID { uint32_t Data1; uint16_t Data2, Data3; uint8_t Data4[8]; } GUID;

typedef struct VARIANT {
    uint16_t vt;  uint16_t reserved1, reserved2, reserved3;
    union { int32_t lVal; float fltVal; double dblVal; int64_t llVal;
            char16_t *bstrVal; struct VARIANT *pvarVal; void *record[2]; } u;
} VARIANT;   /* 24 bytes on x86-64, 16 on 32-bit ARM */

typedef struct DISPPARAMS { VARIANT *rgvarg; int32_t *rgdispidNamedArgs; uint32_t cArgs; uint32_t cNamedArgs; } DISPPARAMS;

typedef struct EXCEPINFO {
    uint16_t wCode, wReserved; char16_t *bstrSource, *bstrDescription, *bstrHelpFile;
    uint32_t dwHelpContext; void *pvReserved; void *pfnDeferredFillIn; int32_t scode;
} EXCEPINFO;

typedef struct IDispatch { const struct IDispatchVtbl *vtbl; } IDispatch;
struct IDispatchVtbl {   /* in this order */
    int32_t  (*QueryInterface)(IDispatch *self, const GUID *iid, void **out);
    uint32_t (*AddRef)(IDispatch *self);
    uint32_t (*Release)(IDispatch *self);
    int32_t  (*GetTypeInfoCount)(IDispatch *self, uint32_t *count);
    int32_t  (*GetTypeInfo)(IDispatch *self, uint32_t index, uint32_t lcid, void **info);
    int32_t  (*GetIDsOfNames)(IDispatch *self, const GUID *iid, char16_t **names, uint32_t count, uint32_t lcid,
                              int32_t *dispids);
    int32_t  (*Invoke)(IDispatch *self, int32_t dispid, const GUID *iid, uint32_t lcid, uint16_t flags,
                       DISPPARAMS *params, VARIANT *result, EXCEPINFO *excepInfo, uint32_t *argErr);
};

/* Variant types, invoke flags and the property-put argument identifier, with Windows'
   values. A BSTR is a char16_t * pointing 4 bytes into a malloc'd block whose first 4
   bytes hold the text's length in bytes, freed with free((char *)bstr - 4). */
enum {
    VT_EMPTY = 0, VT_I4 = 3, VT_R4 = 4, VT_BSTR = 8, VT_BOOL = 11, VT_VARIANT = 12,
    VT_BYREF = 0x4000
};
enum { DISPATCH_METHOD = 1, DISPATCH_PROPERTYGET = 2, DISPATCH_PROPERTYPUT = 4 };
enum { DISPID_PROPERTYPUT = -3 };
#endif
enum { LOCALE_USER_DEFAULT_ID = 0x0400 };

/* ---- Entry points ------------------------------------------------------------ */

int32_t KORVAN_CALL SvrGetProperty(DeviceInstance *dev, HostStringArray *names, HostStringArray *values, HostByteArray *enumFlags);
int32_t KORVAN_CALL SvrEnumPropertyValue(DeviceInstance *dev, HostString *name, HostStringArray *options);
int32_t KORVAN_CALL SvrSetProperty(DeviceInstance *dev, HostStringArray *names, HostStringArray *values);
int32_t KORVAN_CALL SvrDoHelp(HostString *text, int32_t *helpId);
int32_t KORVAN_CALL SvrGetChannel(DeviceInstance *dev, HostStringArray *names, HostIntArray *types);
int32_t KORVAN_CALL SvrEditProperties(void *unused, uint8_t *flag);
int32_t KORVAN_CALL SvrEditCustomProperty(DeviceInstance *dev);
int32_t KORVAN_CALL SvrInitDevSet(DeviceInstance *dev);
int32_t KORVAN_CALL SvrInitDevRun(DeviceInstance *dev);
int32_t KORVAN_CALL SvrExitDevRun(DeviceInstance *dev);
int32_t KORVAN_CALL SvrCollectDevData(DeviceInstance *dev, HostIntArray *wanted, HostDoubleArray *values, HostStringArray *texts);
int32_t KORVAN_CALL SvrDevIOCtrl(DeviceInstance *dev, HostString *command, HostDoubleArray *results, int32_t unused);
int32_t KORVAN_CALL SvrGetDevInfo(void);
/* Both take over the reference the host passes (no AddRef) and release the object
   they held before. A NULL `object`, or a NULL interface in it, means "none": the
   object held is released and nothing is held. */
int32_t KORVAN_CALL SvrSetSetIDispatch(IDispatch **object);
int32_t KORVAN_CALL SvrSetRunIDispatch(IDispatch **object);

#ifdef __cplusplus
}
#endif

/* The Windows build's layout, as host-side code compiled with the system's headers
   sees it: every array 20 bytes, ConfigArchive 32, DeviceInstance 28, VARIANT 16. */
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#ifdef __cplusplus
#define KORVAN_LAYOUT(condition, what) static_assert(condition, what)
#else
#define KORVAN_LAYOUT(condition, what) _Static_assert(condition, what)
#endif
KORVAN_LAYOUT(sizeof(KorvanChar) == 2, "texts: 16-bit units");
KORVAN_LAYOUT(sizeof(HostIntArray) == 20 && sizeof(HostByteArray) == 20 && sizeof(HostDoubleArray) == 20 &&
              sizeof(HostStringArray) == 20, "arrays: 20 bytes on i686");
KORVAN_LAYOUT(sizeof(ConfigArchive) == 32, "ConfigArchive: 32 bytes on i686");
KORVAN_LAYOUT(sizeof(DeviceInstance) == 28, "DeviceInstance: 28 bytes on i686");
KORVAN_LAYOUT(sizeof(VARIANT) == 16 && sizeof(GUID) == 16, "VARIANT and GUID: 16 bytes on i686");
KORVAN_LAYOUT(sizeof(DISPPARAMS) == 16 && sizeof(EXCEPINFO) == 32, "DISPPARAMS 16, EXCEPINFO 32 on i686");
KORVAN_LAYOUT(sizeof(BSTR) == 4 && sizeof(OLECHAR) == 2, "BSTR: a pointer to 16-bit units");
#undef KORVAN_LAYOUT
#endif

#endif /* KORVAN_HOST_ABI_H */
