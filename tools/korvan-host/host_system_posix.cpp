#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <string>

#include "tools/korvan-host/host_system.h"

namespace korvanhost {
namespace {

std::atomic<bool> interrupted{false};

// A line written from a signal handler: set before the signals it answers can come.
struct SignalLine {
    char text[256];
    std::size_t length = 0;
    void Set(const std::string& message) {
        const std::string line = "korvan-host: " + message.substr(0, 200) + "\n";
        line.copy(text, sizeof text);
        length = line.size();
    }
    void Write() const {
        if (length > 0) (void)!::write(STDERR_FILENO, text, length);
    }
};
SignalLine onFirst;
SignalLine onPlain;

void OnSignal(int) {
    if (interrupted.exchange(true)) _exit(130);  // the second: at once
    onFirst.Write();
}

void OnPlainSignal(int signal) {
    onPlain.Write();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

void WriteText(std::FILE* stream, std::string_view utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stream); }

// A terminal takes UTF-8 and cursor movements as it is.
struct ConsoleSession::Saved {};
ConsoleSession::ConsoleSession() = default;
ConsoleSession::~ConsoleSession() = default;

bool OutputIsTerminal() { return isatty(STDOUT_FILENO); }

int TerminalRows() {
    winsize size{};
    return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_row : 0;
}

bool Interrupted() { return interrupted; }

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

void SayOnInterrupt(const std::string& message) { onFirst.Set(message); }

struct PlainInterrupts::Saved {
    struct sigaction old[3] {};
};

namespace {
constexpr int kPlainSignals[3] = {SIGINT, SIGTERM, SIGHUP};
}  // namespace

PlainInterrupts::PlainInterrupts(const std::string& farewell) : saved_(std::make_unique<Saved>()) {
    onPlain.Set(farewell);
    struct sigaction plain {};
    plain.sa_handler = OnPlainSignal;
    for (int i = 0; i < 3; ++i) sigaction(kPlainSignals[i], &plain, &saved_->old[i]);
}

PlainInterrupts::~PlainInterrupts() {
    for (int i = 0; i < 3; ++i) sigaction(kPlainSignals[i], &saved_->old[i], nullptr);
}

// The driver answers the same either way, so the host looks for itself: the dialog
// module beside the driver, and a display.
std::string DialogCannotOpen(const std::string& driverPath) {
    const std::string folder = driverPath.substr(0, driverPath.rfind('/') + 1);
    if (access((folder + "Korvan.gtk.so").c_str(), R_OK) != 0) {
        return "no dialog can open: this driver has no dialog module (" + folder +
               "Korvan.gtk.so is missing); use add, remove and params instead";
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x11 == nullptr || *x11 == '\0') && (wayland == nullptr || *wayland == '\0')) {
        return "no dialog can open: no display (DISPLAY is not set); use add, remove and params instead";
    }
    return {};
}

std::string NoSimulatedDrive() { return {}; }

}  // namespace korvanhost
