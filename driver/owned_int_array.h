// The driver's own integer lists (device settings, read groups): the host's array
// layout and resizing rule, owned by the driver and freed with it.
#pragma once

#include <cstdint>

#include "driver/host_containers.h"

namespace korvan {

class OwnedIntArray {
public:
    OwnedIntArray() = default;
    ~OwnedIntArray() { SetArraySize(array_, 0); }
    OwnedIntArray(const OwnedIntArray&) = delete;
    OwnedIntArray& operator=(const OwnedIntArray&) = delete;

    int32_t Count() const { return array_.count; }
    bool Empty() const { return array_.count == 0; }
    bool SetCount(int32_t count) { return SetArraySize(array_, count); }
    bool Append(int32_t value) { return SetCount(Count() + 1) && SetIntAt(array_, Count() - 1, value); }
    // The caller keeps 0 <= index < Count().
    int32_t& operator[](int32_t index) { return array_.data[index]; }
    int32_t operator[](int32_t index) const { return array_.data[index]; }

private:
    HostIntArray array_{};
};

}  // namespace korvan
