// The built driver where no dialog can open (no display, or a build without a
// toolkit): SvrEditCustomProperty still answers 1 and changes nothing.
#include <gtest/gtest.h>

#include "tests/support/driver_fixture.h"

namespace korvan::testing {
namespace {

TEST_F(DriverTest, EditCustomPropertyWithoutADisplayChangesNothing) {
    hostkit::StringArray names;
    hostkit::IntArray types;
    ASSERT_EQ(Svr().GetChannel(Device(), &names, &types), 1);
    const std::vector<uint8_t> before = device_.ArchiveBytes();
    EXPECT_EQ(Svr().EditCustomProperty(Device()), 1);
    EXPECT_EQ(Svr().EditCustomProperty(nullptr), 1);
    EXPECT_EQ(device_.ArchiveBytes(), before);
    ASSERT_EQ(Svr().GetChannel(Device(), &names, &types), 1);
    EXPECT_EQ(hostkit::Values(names.raw).size(), 5u);
}

TEST_F(DriverTest, EditCustomPropertyLoadsADeviceThatHasNoStateYet) {
    EXPECT_EQ(Svr().EditCustomProperty(Device()), 1);
    EXPECT_NE(Device()->deviceState, nullptr);
    EXPECT_FALSE(device_.ArchiveBytes().empty());  // the defaults were saved
}

}  // namespace
}  // namespace korvan::testing
