// Runs a built program as a child process with a time limit and collects its output.
// The child's pipes are read whenever the test waits for it, so a child that prints
// much never blocks on a full pipe while the test waits for it to end.
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
    // Waits at most `seconds` for it to end, reading its output meanwhile: its exit
    // status, or 128 + signal. One that overstays is killed, and the test fails with
    // what it printed.
    int Wait(double seconds = 60.0);
    // What it has written to standard output so far (waits up to `seconds` for a line
    // containing `marker`).
    std::string ReadUntil(const std::string& marker, double seconds);
    // Waits up to `seconds` for `marker` on standard error: whether it came.
    bool Said(const std::string& marker, double seconds);
    // What it has written to standard error so far.
    const std::string& Errors() const { return errors_; }

private:
    int pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string buffer_;
    std::string errors_;
};

}  // namespace korvan::testing
