// What korvan-host asks of the system besides its files and its line: the command
// line, the console, Ctrl-C, the driver's dialog and the simulated drive. Each
// system's side is in host_system_posix.cpp or host_system_win.cpp.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvanhost {

// The command line in UTF-8, as every text of the program is.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Writes UTF-8 text to standard output or error as the system shows it: on Windows a
// console takes it as UTF-16, whatever its code page, and a file or a pipe as UTF-8.
void WriteText(std::FILE* stream, std::string_view utf8);
// printf into WriteText (console_text.cpp).
void Printf(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// For its life, the console takes the live table's cursor movements; afterwards, and
// on every way out (Ctrl-C during a dialog too), it is as it was.
class ConsoleSession {
public:
    ConsoleSession();
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

// Whether standard output is a terminal the live table can be drawn on.
bool OutputIsTerminal();
// The rows of that terminal; 0 when it does not say.
int TerminalRows();

// Ctrl-C (and SIGTERM or SIGHUP, or the console window closing) sets a flag: a run
// ends after the exchange in progress, saving and closing as it does when done. A
// second Ctrl-C leaves at once.
void CatchInterrupts();
bool Interrupted();
// What the first Ctrl-C says on standard error (one line, no more than 200 bytes).
void SayOnInterrupt(const std::string& message);

// While the driver's dialog has the thread no one reads that flag: for the life of
// this object Ctrl-C ends the program at once, saving nothing, after saying
// `farewell` on standard error.
class PlainInterrupts {
public:
    explicit PlainInterrupts(const std::string& farewell);
    ~PlainInterrupts();
    PlainInterrupts(const PlainInterrupts&) = delete;
    PlainInterrupts& operator=(const PlainInterrupts&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

// Why the driver's channel dialog cannot open here; empty when it may.
std::string DialogCannotOpen(const std::string& driverPath);

// Why this system has no simulated drive for --sim and demo; empty when it has.
std::string NoSimulatedDrive();

}  // namespace korvanhost
