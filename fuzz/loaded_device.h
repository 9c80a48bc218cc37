// A device whose driver state was loaded from a configuration blob through its
// archive, as the driver's first call does, and freed again at the end of the run.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/device_state.h"
#include "tools/hostkit/host_device.h"

namespace korvanfuzz {

class LoadedDevice {
public:
    explicit LoadedDevice(const std::vector<uint8_t>& blob);
    ~LoadedDevice();
    LoadedDevice(const LoadedDevice&) = delete;
    LoadedDevice& operator=(const LoadedDevice&) = delete;

    DeviceInstance& Instance() { return *host_.Instance(); }
    korvan::DeviceState& State() { return *korvan::StateOf(*host_.Instance()); }
    // Saves the state and returns the blob as a host keeps it: the bytes up to the
    // archive's position after the store pass.
    std::vector<uint8_t> Save();

private:
    hostkit::HostDevice host_;
};

// The blob as a host keeps it: the archive's bytes, up to its position after a store pass.
std::vector<uint8_t> StoredBlob(const ConfigArchive& archive);

// The configuration the line targets run with: the four fixed channels and a
// parameter channel of every data type, read only, read and write, and write only.
std::vector<uint8_t> EveryKindOfChannelBlob();

}  // namespace korvanfuzz
