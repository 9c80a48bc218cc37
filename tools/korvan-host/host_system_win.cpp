// The console of Windows: the command line from GetCommandLineW, the console's output
// code page set to UTF-8 and its handling of cursor movements switched on for the
// program's life, and Ctrl-C through SetConsoleCtrlHandler.
#include "tools/korvan-host/windows_system.h"

#include <shellapi.h>

#include <atomic>
#include <cstdio>
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

BOOL WINAPI OnControl(DWORD event) {
    const bool again = interrupted.exchange(true);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        if (again) ExitProcess(130);  // the second: at once
        if (!firstWords.empty()) std::fputs(firstWords.c_str(), stderr);
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

struct ConsoleSession::Saved {
    UINT codePage = 0;  // 0: not changed
    HANDLE output = INVALID_HANDLE_VALUE;
    DWORD outputMode = 0;
    bool modeChanged = false;
};

ConsoleSession::ConsoleSession() : saved_(std::make_unique<Saved>()) {
    DWORD mode = 0;
    saved_->output = GetStdHandle(STD_OUTPUT_HANDLE);
    const bool consoleOutput = GetConsoleMode(saved_->output, &mode) != 0;
    DWORD errorMode = 0;
    if (consoleOutput || GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &errorMode)) {
        saved_->codePage = GetConsoleOutputCP();
        if (saved_->codePage == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) saved_->codePage = 0;
    }
    if (consoleOutput && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0 &&
        SetConsoleMode(saved_->output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        saved_->outputMode = mode;
        saved_->modeChanged = true;
    }
}

ConsoleSession::~ConsoleSession() {
    if (saved_->modeChanged) SetConsoleMode(saved_->output, saved_->outputMode);
    if (saved_->codePage != 0) SetConsoleOutputCP(saved_->codePage);
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
    if (!plainWords.empty()) std::fputs(plainWords.c_str(), stderr);
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
