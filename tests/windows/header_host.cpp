// A host's own C++ file, as header_host.c: the whole <windows.h>, <oleauto.h> and the
// driver's header in either order, built with __stdcall as the default, and every entry
// point called through the header.
#undef WIN32_LEAN_AND_MEAN
#ifdef KORVAN_HEADER_FIRST
#include "korvan/host_abi.h"
#include <windows.h>
#include <oleauto.h>
#define CPP_CALLS CppCallsHeaderFirst
#else
#include <windows.h>
#include <oleauto.h>
#include "korvan/host_abi.h"
#define CPP_CALLS CppCallsWindowsFirst
#endif

#include <string_view>

// How many of the fifteen answered as declared without a device; the help text is the
// caller's to free.
int __cdecl CPP_CALLS(HostString& text) {
    int32_t help = 0;
    uint8_t flag = 0;
    IDispatch* none = nullptr;
    int answered = 0;
    answered += SvrGetProperty(nullptr, nullptr, nullptr, nullptr) == 1;
    answered += SvrEnumPropertyValue(nullptr, nullptr, nullptr) == 1;
    answered += SvrSetProperty(nullptr, nullptr, nullptr) == 1;
    answered += SvrDoHelp(&text, &help) == 1 && help == 2102072502 && text.text != nullptr &&
                std::wstring_view(text.text) == L"VLT5000";
    answered += SvrGetChannel(nullptr, nullptr, nullptr) == 1;
    answered += SvrEditProperties(nullptr, &flag) == 1 && flag == 1;
    answered += SvrEditCustomProperty(nullptr) == 1;
    answered += SvrInitDevSet(nullptr) == 1;
    answered += SvrInitDevRun(nullptr) == 1;
    answered += SvrExitDevRun(nullptr) == 1;
    answered += SvrCollectDevData(nullptr, nullptr, nullptr, nullptr) == 0;
    answered += SvrDevIOCtrl(nullptr, nullptr, nullptr, 0) == 0;
    answered += SvrGetDevInfo() == 0;
    answered += SvrSetSetIDispatch(&none) == 1;
    answered += SvrSetRunIDispatch(nullptr) == 1;
    return answered;
}
