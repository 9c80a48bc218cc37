#include "tools/hostkit/host_device.h"

#include "tools/hostkit/host_arrays.h"

namespace hostkit {

HostDevice::HostDevice() { instance_.configArchive = &archive_; }

HostDevice::~HostDevice() { Free(archive_.buffer); }

std::vector<uint8_t> HostDevice::ArchiveBytes() const { return Values(archive_.buffer); }

void HostDevice::SetArchiveBytes(const std::vector<uint8_t>& bytes) {
    Set(archive_.buffer, bytes);
    archive_.position = 0;
    archive_.mode = 0;
}

void HostDevice::SetPort(int32_t kind, KorvanPortHandle handle) {
    instance_.portKind = kind;
    instance_.portHandle = handle;
}

}  // namespace hostkit
