#include "tools/korvan-host/line/progress.h"

#include <cstdio>

#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"

namespace korvanhost {
namespace {

constexpr auto kFirstDraw = std::chrono::milliseconds(500);
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr int kWidth = 30;

std::string Bar(uint64_t done, uint64_t total) {
    const uint64_t filled = total == 0 ? kWidth : done * kWidth / total;
    return "[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "]";
}

}  // namespace

bool ProgressShown(const Options& options) {
    return OutputIsTerminal() && !options.plain && !options.json && !options.trace;
}

Progress::Progress(bool shown, uint64_t total) : shown_(shown), total_(total), start_(Clock::now()) {}

Progress::~Progress() { Erase(); }

void Progress::Advance(uint64_t done, const std::string& note) {
    done_ = done < total_ ? done : total_;
    note_ = note;
    const auto now = Clock::now();
    if (!shown_ || now - start_ < kFirstDraw || (drawn_ && now - lastDrawn_ < kRedraw)) return;
    lastDrawn_ = now;
    Draw();
}

void Progress::Print(const std::string& line) {
    const bool wasDrawn = drawn_;
    Erase();
    PrintLine(line);
    if (wasDrawn) Draw();
}

void Progress::Draw() {
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    std::string text = "\r\x1b[K" + Bar(done_, total_) + " " + std::to_string(done_) + "/" + std::to_string(total_);
    if (done_ > 0 && done_ < total_) {
        char left[48];
        const double seconds = elapsed * static_cast<double>(total_ - done_) / static_cast<double>(done_);
        std::snprintf(left, sizeof left, seconds < 10 ? "  about %.1f s left" : "  about %.0f s left", seconds);
        text += left;
    }
    if (!note_.empty()) text += "  " + note_;
    WriteText(stdout, text);
    std::fflush(stdout);
    drawn_ = true;
}

void Progress::Erase() {
    if (!drawn_) return;
    WriteText(stdout, "\r\x1b[K");
    std::fflush(stdout);
    drawn_ = false;
}

}  // namespace korvanhost
