// Tests that use the built driver module the way a host does: loaded with dlopen,
// called through the fifteen entry points.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"

namespace korvan::testing {

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = std::make_unique<hostkit::DriverLibrary>(hostkit::DriverPath(KORVAN_BUILT_DRIVER));
        ASSERT_TRUE(library_->Loaded()) << library_->Error();
    }
    void TearDown() override {
        if (library_ && Svr().ExitDevRun != nullptr) Svr().ExitDevRun(device_.Instance());
    }

    const hostkit::EntryPoints& Svr() const { return library_->Svr(); }
    DeviceInstance* Device() { return device_.Instance(); }
    hostkit::DriverLibrary& Library() { return *library_; }

    hostkit::HostDevice device_;

private:
    std::unique_ptr<hostkit::DriverLibrary> library_;
};

}  // namespace korvan::testing
