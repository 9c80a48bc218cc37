// korvan-transcript-drive LINE CONTROL: the drive-link scene's simulated drive for a
// transcript played elsewhere (the Windows build under Wine). The drive's
// pseudo-terminal is linked as LINE; a second one, linked as CONTROL, takes one
// command per line and answers each:
//   faults NAMES   script the next replies' faults ("drop,refuse"); answers "ok"
//   wire           the telegrams traced since last asked, one per line, then "end"
//   stop           stops the drive (the control line stays); answers "ok"
// It runs until SIGINT or SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "tools/korvan-transcript/scene_drive_local.h"

namespace {

volatile std::sig_atomic_t stopping = 0;

void OnSignal(int) { stopping = 1; }

// A pseudo-terminal in raw mode, linked as `link`: its master, or -1. The slave stays
// open too, so that the line never hangs up between its users.
int OpenControlLine(const std::string& link, int& slave) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
    const char* name = ptsname(master);
    slave = name != nullptr ? open(name, O_RDWR | O_NOCTTY) : -1;
    if (slave < 0) return -1;
    termios settings{};
    tcgetattr(slave, &settings);
    cfmakeraw(&settings);
    tcsetattr(slave, TCSANOW, &settings);
    unlink(link.c_str());
    if (symlink(name, link.c_str()) != 0) return -1;
    return master;
}

void Answer(int control, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(control, text.data() + done, text.size() - done);
        if (written <= 0) return;
        done += static_cast<std::size_t>(written);
    }
}

void Serve(int control, transcript::SceneDrive& drive, const std::string& command) {
    if (command.rfind("faults ", 0) == 0) {
        drive.ScriptFaults(command.substr(7));
        Answer(control, "ok\n");
    } else if (command == "wire") {
        std::string lines;
        for (const std::string& line : drive.TakeWireLines()) lines += line + "\n";
        Answer(control, lines + "end\n");
    } else if (command == "stop") {
        drive.Stop();
        Answer(control, "ok\n");
    } else {
        Answer(control, "unknown command\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvan-transcript-drive LINE CONTROL\n");
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    int slave = -1;
    const int control = OpenControlLine(argv[2], slave);
    if (control < 0) {
        std::fprintf(stderr, "korvan-transcript-drive: cannot make the control line %s\n", argv[2]);
        return 1;
    }
    const auto drive = transcript::StartLocalSceneDrive(argv[1], false);
    if (!drive->Error().empty()) {
        std::fprintf(stderr, "korvan-transcript-drive: %s\n", drive->Error().c_str());
        return 1;
    }
    std::string pending;
    while (stopping == 0) {
        pollfd watch{control, POLLIN, 0};
        if (poll(&watch, 1, 100) <= 0 || (watch.revents & POLLIN) == 0) continue;
        char buffer[256];
        const ssize_t got = read(control, buffer, sizeof buffer);
        if (got <= 0) continue;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            Serve(control, *drive, pending.substr(0, end));
        }
    }
    drive->Stop();
    unlink(argv[1]);
    unlink(argv[2]);
    close(control);
    close(slave);
    return 0;
}
