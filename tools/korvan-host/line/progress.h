// Progress of long work on a terminal: a bar on the last line of standard output,
// redrawn in place at most ten times a second, and only once the work has lasted
// half a second, so that quick commands never flash one. Lines printed through it
// go above the bar. Off a terminal (or with --plain, --json or --trace) it shows
// nothing, and Print is PrintLine.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "tools/korvan-host/options.h"

namespace korvanhost {

class Progress {
public:
    // `total` steps of work; `shown` false for a progress that never draws.
    Progress(bool shown, uint64_t total);
    ~Progress();  // the bar is erased
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` of the total steps, with a note on what is being done.
    void Advance(uint64_t done, const std::string& note = "");
    // A line printed above the bar.
    void Print(const std::string& line);

private:
    using Clock = std::chrono::steady_clock;
    void Draw();
    void Erase();

    bool shown_;
    uint64_t total_;
    uint64_t done_ = 0;
    std::string note_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
};

// Whether the options let a progress bar be drawn: a terminal, and none of --plain,
// --json or --trace.
bool ProgressShown(const Options& options);

}  // namespace korvanhost
