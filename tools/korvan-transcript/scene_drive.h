// The simulated drive of the drive-link scene, seen from the host: the host's end of
// its line, the faults it is to inject next, and the telegrams it has traced since
// last asked. On Linux the drive runs in the transcript's own process; the Windows
// build reaches one that runs on the Linux side, through COM ports.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "korvan/host_abi.h"

namespace transcript {

class SceneDrive {
public:
    virtual ~SceneDrive() = default;
    // Empty when the drive runs and its line is open; otherwise why not.
    virtual std::string Error() const = 0;
    virtual KorvanPortHandle Line() const = 0;
    // Faults for the next replies in order, by the simulator's names ("drop,refuse").
    virtual void ScriptFaults(const std::string& names) = 0;
    // The decoded telegrams traced since the last call, each as one line.
    virtual std::vector<std::string> TakeWireLines() = 0;
    // Stops the drive and closes the line.
    virtual void Stop() = 0;
};

// The scene's drive: addresses 1 and 2, answering at once, its model time moving per
// telegram, drive 1's parameter 204 at -5000.
std::unique_ptr<SceneDrive> StartSceneDrive();

}  // namespace transcript
