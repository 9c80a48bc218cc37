#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>

#include "tools/korvan-host/host_system.h"

namespace korvanhost {
namespace {

std::atomic<bool> interrupted{false};

void OnSignal(int) { interrupted = true; }

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
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

struct PlainInterrupts::Saved {
    struct sigaction oldInt {};
    struct sigaction oldTerm {};
};

PlainInterrupts::PlainInterrupts() : saved_(std::make_unique<Saved>()) {
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigaction(SIGINT, &plain, &saved_->oldInt);
    sigaction(SIGTERM, &plain, &saved_->oldTerm);
}

PlainInterrupts::~PlainInterrupts() {
    sigaction(SIGINT, &saved_->oldInt, nullptr);
    sigaction(SIGTERM, &saved_->oldTerm, nullptr);
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
