#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

extern char** environ;

namespace korvan::testing {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point After(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

int StatusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

std::vector<char*> Arguments(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the child with its standard output (and error, when wanted) on pipes.
int Spawn(const std::vector<std::string>& argv, int& out, int* err) {
    int outPipe[2], errPipe[2] = {-1, -1};
    if (pipe2(outPipe, O_CLOEXEC) != 0 || (err != nullptr && pipe2(errPipe, O_CLOEXEC) != 0)) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    if (err != nullptr) posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    pid_t pid = -1;
    auto args = Arguments(argv);
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    out = outPipe[0];
    if (err != nullptr) {
        close(errPipe[1]);
        *err = errPipe[0];
    }
    return pid;
}

// A pipe from the child and what has come through it; fd -1 once it has ended.
struct Stream {
    int fd;
    std::string* text;
};

// Reads what is ready within `milliseconds`; false once every pipe has ended.
bool Drain(std::vector<Stream>& streams, int milliseconds) {
    std::vector<pollfd> watch;
    for (const Stream& stream : streams) watch.push_back({stream.fd, POLLIN, 0});
    bool open = false;
    for (const Stream& stream : streams) open = open || stream.fd >= 0;
    if (!open) return false;
    if (poll(watch.data(), watch.size(), milliseconds) <= 0) return true;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].fd < 0 || watch[i].revents == 0) continue;
        char chunk[4096];
        const ssize_t got = read(streams[i].fd, chunk, sizeof chunk);
        if (got > 0) {
            streams[i].text->append(chunk, static_cast<std::size_t>(got));
        } else {
            close(streams[i].fd);
            streams[i].fd = -1;
        }
    }
    return true;
}

// Waits until the child ends or the deadline passes, reading its pipes meanwhile; then
// reads what is left in them (a moment at most). False when it had to be killed.
bool WaitReading(pid_t pid, std::vector<Stream>& streams, Clock::time_point deadline, int& raw) {
    pid_t ended = 0;
    while ((ended = waitpid(pid, &raw, WNOHANG)) == 0 && Clock::now() < deadline) {
        if (!Drain(streams, 20)) poll(nullptr, 0, 20);  // pipes closed: only the exit is left
    }
    if (ended == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &raw, 0);
    }
    const auto last = Clock::now() + std::chrono::seconds(1);
    while (Drain(streams, 20) && Clock::now() < last) {
    }
    return ended != 0;
}

}  // namespace

Finished RunProgram(const std::vector<std::string>& argv, double seconds) {
    Finished finished;
    int out = -1, err = -1;
    const int pid = Spawn(argv, out, &err);
    if (pid < 0) return finished;
    std::vector<Stream> streams = {{out, &finished.out}, {err, &finished.err}};
    int raw = 0;
    WaitReading(pid, streams, After(seconds), raw);
    for (const Stream& stream : streams) {
        if (stream.fd >= 0) close(stream.fd);
    }
    finished.status = StatusOf(raw);
    return finished;
}

Child::Child(const std::vector<std::string>& argv) { pid_ = Spawn(argv, out_, &err_); }

Child::~Child() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
}

void Child::Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
}

int Child::Wait(double seconds) {
    if (pid_ <= 0) return -1;
    std::vector<Stream> streams = {{out_, &buffer_}, {err_, &errors_}};
    int raw = 0;
    const bool ended = WaitReading(pid_, streams, After(seconds), raw);
    if (!ended) {
        ADD_FAILURE() << "child " << pid_ << " still running after " << seconds << " s, killed; it printed:\n"
                      << buffer_ << "\n-- on standard error:\n"
                      << errors_;
    }
    out_ = streams[0].fd;
    err_ = streams[1].fd;
    pid_ = -1;
    return ended ? StatusOf(raw) : -1;
}

bool Child::Said(const std::string& marker, double seconds) {
    const auto deadline = After(seconds);
    std::vector<Stream> streams = {{out_, &buffer_}, {err_, &errors_}};
    while (errors_.find(marker) == std::string::npos && Clock::now() < deadline && Drain(streams, 50)) {
    }
    out_ = streams[0].fd;
    err_ = streams[1].fd;
    return errors_.find(marker) != std::string::npos;
}

std::string Child::ReadUntil(const std::string& marker, double seconds) {
    const auto deadline = After(seconds);
    std::vector<Stream> streams = {{out_, &buffer_}, {err_, &errors_}};
    while (buffer_.find(marker) == std::string::npos && Clock::now() < deadline && Drain(streams, 50)) {
    }
    out_ = streams[0].fd;
    err_ = streams[1].fd;
    return buffer_;
}

}  // namespace korvan::testing
