// A device with a loaded state, a scripted port with a fake drive behind it, the
// host's arrays and its automation object: the core's run-time code without the module.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "driver/device_state.h"
#include "driver/process_objects.h"
#include "runtime/run_setup.h"
#include "tests/support/channel_builders.h"
#include "tests/support/fake_drive.h"
#include "tests/support/scripted_port.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_automation.h"

namespace korvan::testing {

class RuntimeTest : public ::testing::Test {
protected:
    RuntimeTest() {
        port.responder = [this](const std::vector<uint8_t>& request) { return drive.Answer(request); };
        DeviceState& state = CreateState(device);
        state.deviceSettings.Append(1);
        state.deviceSettings.Append(200);
        HostRunObject().lookup = host.Interface();
        HostRunObject().driver.AttachDispatch(host.Interface(), false);
    }
    ~RuntimeTest() override {
        HostRunObject().driver.ReleaseDispatch();
        HostRunObject().lookup = nullptr;
        ReleaseDeviceState(device);
    }

    DeviceState& State() { return *StateOf(device); }
    void UseChannels(const std::vector<ChannelSpec>& parameters) {
        *State().channelTable = MakeTable(parameters);
        BuildReadGroups(State());
    }
    // The requests written so far, without their check characters.
    std::vector<uint8_t> LastRequest() const {
        std::vector<uint8_t> request = port.written.back();
        request.pop_back();
        return request;
    }

    ScriptedClock clock;
    ScriptedPort port{clock};
    SerialIo io{port, clock};
    FakeDrive drive;
    DeviceInstance device{{0, 0, 0}, nullptr, nullptr, kSerialPortKind, KorvanPortHandle(7)};
    hostkit::HostAutomationObject host;
};

}  // namespace korvan::testing
