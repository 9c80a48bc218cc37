// One device as the host keeps it: the DeviceInstance with its configuration archive
// and port. The driver's own state hangs off the instance until SvrExitDevRun.
#pragma once

#include <cstdint>
#include <vector>

#include "korvan/host_abi.h"

namespace hostkit {

class HostDevice {
public:
    HostDevice();
    ~HostDevice();
    HostDevice(const HostDevice&) = delete;
    HostDevice& operator=(const HostDevice&) = delete;

    DeviceInstance* Instance() { return &instance_; }
    ConfigArchive& Archive() { return archive_; }
    // The archive's bytes (its element count), and a fresh archive holding `bytes`
    // with position 0 in loading mode.
    std::vector<uint8_t> ArchiveBytes() const;
    void SetArchiveBytes(const std::vector<uint8_t>& bytes);
    void SetPort(int32_t kind, KorvanPortHandle handle);

private:
    ConfigArchive archive_{};
    DeviceInstance instance_{};
};

}  // namespace hostkit
