// Runs the entry-point calls of the host's own C and C++ files (header_host.c and
// header_host.cpp, each built in both orders of the headers): 0 when all four saw
// fifteen answers as declared.
#include <windows.h>

#include <cstdio>

#include "korvan/host_abi.h"

extern "C" int __cdecl c_calls_windows_first(HostString* text);
extern "C" int __cdecl c_calls_header_first(HostString* text);
int __cdecl CppCallsWindowsFirst(HostString& text);
int __cdecl CppCallsHeaderFirst(HostString& text);

int main() {
    HostString texts[4] = {};
    const int answers[] = {c_calls_windows_first(&texts[0]), c_calls_header_first(&texts[1]),
                           CppCallsWindowsFirst(texts[2]), CppCallsHeaderFirst(texts[3])};
    const char* files[] = {"C, <windows.h> first", "C, korvan/host_abi.h first", "C++, <windows.h> first",
                           "C++, korvan/host_abi.h first"};
    int failed = 0;
    for (int i = 0; i < 4; ++i) {
        std::printf("%-30s %d of 15 entry points answered as declared\n", files[i], answers[i]);
        failed += answers[i] != 15;
        if (texts[i].text != nullptr) HeapFree(GetProcessHeap(), 0, texts[i].text);
    }
    return failed;
}
