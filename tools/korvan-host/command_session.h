// What every command of korvan-host shares: its exit statuses, its one-line errors,
// and a session whose archives are saved when it ends.
#pragma once

#include <cstdio>
#include <string>

#include "tools/korvan-host/host_session.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/options.h"

namespace korvanhost {

// Exit statuses, as `korvan-host help` lists them.
constexpr int kDone = 0;
constexpr int kHostError = 1;
constexpr int kBadCommandLine = 2;
constexpr int kDriveFailed = 3;

inline int Fail(const std::string& message, int status = kHostError) {
    Printf(stderr, "korvan-host: %s\n", message.c_str());
    return status;
}

inline void Warn(const std::string& message) { Printf(stderr, "korvan-host: warning: %s\n", message.c_str()); }

// The driver beside the running korvan-host, else the installed one in ../lib/korvan/.
std::string DefaultDriverPath();

inline std::string DriverPath(const Options& options) {
    return options.driver.empty() ? DefaultDriverPath() : options.driver;
}

struct Session {
    explicit Session(const Options& options)
        : devices(DriverPath(options), options.archives, options.force ? ArchiveUse::Forced : ArchiveUse::Existing) {}
    int Finish() {
        if (!devices.ReleaseAndSave()) return Fail(devices.Error());
        return kDone;
    }
    HostDevices devices;
};

}  // namespace korvanhost
