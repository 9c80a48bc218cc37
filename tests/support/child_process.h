// Runs a built program as a child process with a time limit and collects its output.
#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace korvan::testing {

struct Finished {
    int status = -1;    // exit status, or 128 + signal
    std::string out;    // standard output
    std::string err;    // standard error
};

// Runs `argv` (argv[0] is the program's path) and waits at most `seconds`; a child
// that overstays is killed.
Finished RunProgram(const std::vector<std::string>& argv, double seconds = 60.0);

// A child left running in the background; killed with SIGKILL when destroyed.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    int Pid() const { return pid_; }
    void Signal(int signal);
    // Waits for it to end; its exit status, or 128 + signal.
    int Wait();
    // What it has written to standard output so far (waits up to `seconds` for a line
    // containing `marker`).
    std::string ReadUntil(const std::string& marker, double seconds);

private:
    int pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

}  // namespace korvan::testing
