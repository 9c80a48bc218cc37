#include "tools/korvan-transcript/scene_drive_local.h"

#include <unistd.h>

#include <algorithm>
#include <mutex>

#include "tools/hostkit/raw_line.h"
#include "tools/korvan-sim/simulator.h"

namespace transcript {
namespace {

// Lines the simulated line writes on its own thread, handed over when asked.
class WireLog {
public:
    void Add(const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
    }
    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> taken;
        taken.swap(lines_);
        return taken;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

korvansim::Options SceneOptions(WireLog& wire, const std::string& linkPath) {
    korvansim::Options options;
    options.addresses = {1, 2};
    options.pacing = false;
    options.deterministic = true;
    options.linkPath = linkPath;
    options.trace = [&wire](const std::string& line) { wire.Add(line); };
    return options;
}

class LocalDrive final : public SceneDrive {
public:
    LocalDrive(const std::string& linkPath, bool openLine) : drive_(SceneOptions(wire_, linkPath)) {
        const std::string path = drive_.StartOnPty();
        if (path.empty()) {
            error_ = drive_.Error();
            return;
        }
        drive_.SetValue(1, 204, 0, -5000);
        if (openLine) fd_ = hostkit::OpenRawLine(path);
    }
    ~LocalDrive() override { Stop(); }

    std::string Error() const override { return error_; }
    KorvanPortHandle Line() const override { return fd_; }
    void ScriptFaults(const std::string& names) override {
        std::vector<korvansim::FaultKind> kinds;
        for (std::size_t at = 0; at <= names.size();) {
            const std::size_t comma = std::min(names.find(',', at), names.size());
            if (const auto kind = korvansim::ParseFaultName(std::string_view(names).substr(at, comma - at))) {
                kinds.push_back(*kind);
            }
            at = comma + 1;
        }
        drive_.Faults().Script(kinds);
    }
    std::vector<std::string> TakeWireLines() override { return wire_.Take(); }
    void Stop() override {
        drive_.Stop();
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    WireLog wire_;
    korvansim::Simulator drive_;
    std::string error_;
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<SceneDrive> StartLocalSceneDrive(const std::string& linkPath, bool openLine) {
    return std::make_unique<LocalDrive>(linkPath, openLine);
}

std::unique_ptr<SceneDrive> StartSceneDrive() { return StartLocalSceneDrive("", true); }

}  // namespace transcript
