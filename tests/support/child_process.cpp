#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace korvan::testing {
namespace {

using Clock = std::chrono::steady_clock;

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

}  // namespace

Finished RunProgram(const std::vector<std::string>& argv, double seconds) {
    Finished finished;
    int out = -1, err = -1;
    const int pid = Spawn(argv, out, &err);
    if (pid < 0) return finished;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    std::vector<Stream> streams = {{out, &finished.out}, {err, &finished.err}};
    while (Drain(streams, 100) && Clock::now() < deadline) {
    }
    if (Clock::now() >= deadline) kill(pid, SIGKILL);
    int raw = 0;
    waitpid(pid, &raw, 0);
    for (const Stream& stream : streams) {
        if (stream.fd >= 0) close(stream.fd);
    }
    finished.status = StatusOf(raw);
    return finished;
}

Child::Child(const std::vector<std::string>& argv) { pid_ = Spawn(argv, out_, nullptr); }

Child::~Child() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
}

void Child::Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
}

int Child::Wait() {
    int raw = 0;
    if (pid_ <= 0 || waitpid(pid_, &raw, 0) != pid_) return -1;
    pid_ = -1;
    return StatusOf(raw);
}

std::string Child::ReadUntil(const std::string& marker, double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    std::vector<Stream> streams = {{out_, &buffer_}};
    while (buffer_.find(marker) == std::string::npos && Clock::now() < deadline && Drain(streams, 50)) {
    }
    out_ = streams[0].fd;
    return buffer_;
}

}  // namespace korvan::testing
