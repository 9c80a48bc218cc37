// The console of Windows: the command line from GetCommandLineW, texts written to a
// console as UTF-16 with WriteConsoleW (its code page left as it is) and to a file or a
// pipe as UTF-8, the console's handling of cursor movements switched on for the
// program's life and put back on every way out, and Ctrl-C through SetConsoleCtrlHandler.
#include "tools/korvan-host/windows_system.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/korvan-host/host_system.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace korvanhost {
namespace {

std::atomic<bool> interrupted{false};
std::atomic<bool> catching{false};

std::string firstWords;  // said on the first Ctrl-C; set before the handler is installed
std::string plainWords;  // said when Ctrl-C ends the program while a dialog runs

// The console's output mode as it was, put back when the program ends in any way.
struct SavedConsole {
    std::atomic<bool> changed{false};
    HANDLE output = INVALID_HANDLE_VALUE;
    DWORD mode = 0;
};
SavedConsole savedConsole;

void RestoreConsole() {
    if (savedConsole.changed.exchange(false)) SetConsoleMode(savedConsole.output, savedConsole.mode);
}

// The last handler the system calls: the event ends the process (Ctrl-C while the
// dialog has the thread, the window closing), so the console is put back first.
BOOL WINAPI RestoreBeforeTheEnd(DWORD) {
    RestoreConsole();
    return FALSE;
}

BOOL WINAPI OnControl(DWORD event) {
    const bool again = interrupted.exchange(true);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        if (again) RestoreConsole(), ExitProcess(130);  // the second: at once
        if (!firstWords.empty()) WriteText(stderr, firstWords);
        return TRUE;
    }
    // The window is closing or the session ending, and the process ends as soon as
    // this returns: wait instead while the run finishes its round, saves and exits,
    // which ends this thread too (or until the system's time for it is up).
    Sleep(INFINITE);
    return TRUE;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreeing> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide.get()[i]));
    return arguments;
}

void WriteText(std::FILE* stream, std::string_view utf8) {
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(handle, &mode)) {
        std::fwrite(utf8.data(), 1, utf8.size(), stream);
        return;
    }
    std::fflush(stream);  // what went through the C library goes first
    const std::wstring wide = Wide(std::string(utf8));
    constexpr std::size_t kPiece = 8192;  // older consoles take no more at once
    for (std::size_t at = 0; at < wide.size(); at += kPiece) {
        DWORD written = 0;
        const auto length = static_cast<DWORD>(std::min(kPiece, wide.size() - at));
        if (!WriteConsoleW(handle, wide.data() + at, length, &written, nullptr)) break;
    }
}

struct ConsoleSession::Saved {};

ConsoleSession::ConsoleSession() {
    SetConsoleCtrlHandler(RestoreBeforeTheEnd, TRUE);  // registered first, called last
    std::atexit(RestoreConsole);                        // an exit() from anywhere
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0 &&
        SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        savedConsole.output = output;
        savedConsole.mode = mode;
        savedConsole.changed = true;
    }
}

ConsoleSession::~ConsoleSession() {
    RestoreConsole();
    SetConsoleCtrlHandler(RestoreBeforeTheEnd, FALSE);
}

// A console that cannot take cursor movements (before Windows 10) gets plain lines.
bool OutputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

int TerminalRows() {
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &screen)) return 0;
    return screen.srWindow.Bottom - screen.srWindow.Top + 1;
}

bool Interrupted() { return interrupted; }

void CatchInterrupts() { catching = SetConsoleCtrlHandler(OnControl, TRUE) != 0; }

void SayOnInterrupt(const std::string& message) { firstWords = "korvan-host: " + message + "\n"; }

struct PlainInterrupts::Saved {
    bool removed = false;
};

// The default handling ends the program; the farewell is said first.
BOOL WINAPI OnPlainControl(DWORD) {
    if (!plainWords.empty()) WriteText(stderr, plainWords);
    return FALSE;
}

PlainInterrupts::PlainInterrupts(const std::string& farewell) : saved_(std::make_unique<Saved>()) {
    plainWords = "korvan-host: " + farewell + "\n";
    saved_->removed = catching && SetConsoleCtrlHandler(OnControl, FALSE);
    SetConsoleCtrlHandler(OnPlainControl, TRUE);
}

PlainInterrupts::~PlainInterrupts() {
    SetConsoleCtrlHandler(OnPlainControl, FALSE);
    if (saved_->removed) SetConsoleCtrlHandler(OnControl, TRUE);
}

// The dialogs are in the driver's own resources; they need only a desktop the user
// sees, which a service's window station lacks.
std::string DialogCannotOpen(const std::string&) {
    USEROBJECTFLAGS flags{};
    const HWINSTA station = GetProcessWindowStation();
    if (station != nullptr && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
        (flags.dwFlags & WSF_VISIBLE) == 0) {
        return "no dialog can open: this process has no desktop the user sees (a service?); use add, remove and "
               "params instead";
    }
    return {};
}

std::string NoSimulatedDrive() {
    return "there is no simulated drive on Windows (it needs a pseudo-terminal): give --port COMn, with a drive or "
           "with korvan-sim on Linux at the port's other end";
}

}  // namespace korvanhost
