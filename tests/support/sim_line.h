// A simulated drive on a pseudo-terminal, and the host's end of that line opened raw.
#pragma once

#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/hostkit/raw_line.h"
#include "tools/korvan-sim/simulator.h"

namespace korvan::testing {

class SimLine {
public:
    explicit SimLine(korvansim::Options options = {}) : drive_(std::make_unique<korvansim::Simulator>(options)) {
        path_ = drive_->StartOnPty();
        EXPECT_FALSE(path_.empty()) << drive_->Error();
        fd_ = hostkit::OpenRawLine(path_);
    }
    ~SimLine() {
        if (fd_ >= 0) close(fd_);
        drive_->Stop();
    }
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // Options for a drive that answers at once, or paced like a 9600 8E1 line.
    static korvansim::Options Unpaced(std::vector<uint8_t> addresses = {1}) {
        korvansim::Options options;
        options.addresses = std::move(addresses);
        options.pacing = false;
        return options;
    }

    int Fd() const { return fd_; }
    korvansim::Simulator& Drive() { return *drive_; }

private:
    std::unique_ptr<korvansim::Simulator> drive_;
    std::string path_;
    int fd_ = -1;
};

}  // namespace korvan::testing
