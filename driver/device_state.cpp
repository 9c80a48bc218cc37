#include "driver/device_state.h"

namespace korvan {

DeviceState* StateOf(const DeviceInstance& device) {
    return static_cast<DeviceState*>(device.deviceState);
}

DeviceState& CreateState(DeviceInstance& device) {
    auto state = std::make_unique<DeviceState>();
    device.deviceState = state.get();
    return *state.release();
}

void DestroyState(DeviceInstance& device) {
    std::unique_ptr<DeviceState> owned(StateOf(device));
    device.deviceState = nullptr;
}

}  // namespace korvan
