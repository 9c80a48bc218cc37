/* A host's own C file: the whole <windows.h> (not its lean part), <oleauto.h> and the
   driver's header in the order KORVAN_HEADER_FIRST chooses, built the way a host built
   with /Gz is (-mrtd: __stdcall unless a declaration says otherwise), and every entry
   point called through the header's declarations, with the system's types. (GCC names
   the system's own __stdcall functions wrongly under -mrtd, so this file calls none.) */
#undef WIN32_LEAN_AND_MEAN
#ifdef KORVAN_HEADER_FIRST
#include "korvan/host_abi.h"
#include <windows.h>
#include <oleauto.h>
#define C_CALLS c_calls_header_first
#else
#include <windows.h>
#include <oleauto.h>
#include "korvan/host_abi.h"
#define C_CALLS c_calls_windows_first
#endif

/* How many of the fifteen answered as the header says they do without a device; the
   help text is the caller's to free. */
int __cdecl C_CALLS(HostString *text) {
    int32_t help = 0;
    uint8_t flag = 0;
    IDispatch *none = NULL;
    int answered = 0;
    answered += SvrGetProperty(NULL, NULL, NULL, NULL) == 1;
    answered += SvrEnumPropertyValue(NULL, NULL, NULL) == 1;
    answered += SvrSetProperty(NULL, NULL, NULL) == 1;
    answered += SvrDoHelp(text, &help) == 1 && help == 2102072502 && text->text != NULL && text->text[0] == L'V';
    answered += SvrGetChannel(NULL, NULL, NULL) == 1;
    answered += SvrEditProperties(NULL, &flag) == 1 && flag == 1;
    answered += SvrEditCustomProperty(NULL) == 1;
    answered += SvrInitDevSet(NULL) == 1;
    answered += SvrInitDevRun(NULL) == 1;
    answered += SvrExitDevRun(NULL) == 1;
    answered += SvrCollectDevData(NULL, NULL, NULL, NULL) == 0;
    answered += SvrDevIOCtrl(NULL, NULL, NULL, 0) == 0;
    answered += SvrGetDevInfo() == 0;
    answered += SvrSetSetIDispatch(&none) == 1;
    answered += SvrSetRunIDispatch(NULL) == 1;
    return answered;
}
