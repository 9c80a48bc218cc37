#include "runtime/run_setup.h"

#include <gtest/gtest.h>

#include "driver/device_state.h"
#include "tests/support/channel_builders.h"

namespace korvan {
namespace {

using testing::ChannelSpec;
using Groups = std::vector<std::pair<int32_t, int32_t>>;

Groups GroupsOf(const std::vector<ChannelSpec>& parameters) {
    DeviceState state;
    *state.channelTable = testing::MakeTable(parameters);
    BuildReadGroups(state);
    Groups groups;
    for (int32_t g = 0; g < state.readGroupStarts.Count(); ++g) {
        groups.emplace_back(state.readGroupStarts[g], state.readGroupEnds[g]);
    }
    return groups;
}

constexpr int32_t kWo = kWriteOnly;

TEST(ReadGroups, RunsOfReadableChannelsOfOneTypeWithWriteOnlyOnesPassedOver) {
    EXPECT_EQ(GroupsOf({}), Groups{});
    EXPECT_EQ(GroupsOf({{.access = kWo}, {.access = kWo, .type = 3}}), Groups{});
    EXPECT_EQ(GroupsOf({{.number = 1}}), (Groups{{4, 4}}));
    EXPECT_EQ(GroupsOf({{.type = 0}, {.type = 0}, {.type = 3}, {.type = 3}, {.type = 0}}),
              (Groups{{4, 5}, {6, 7}, {8, 8}}));
    EXPECT_EQ(GroupsOf({{.type = 0}, {.type = 0}, {.access = kWo}, {.type = 0}, {.type = 3}, {.type = 3}}),
              (Groups{{4, 7}, {8, 9}}));
    EXPECT_EQ(GroupsOf({{.type = 1}, {.access = kReadWrite, .type = 1}, {.access = kWo, .type = 1}}),
              (Groups{{4, 5}}));
    // A write-only channel of another type neither closes nor opens a group.
    EXPECT_EQ(GroupsOf({{.type = 0}, {.access = kWo, .type = 5}, {.type = 0}}), (Groups{{4, 6}}));
}

TEST(ReadGroups, ARebuildKeepsTheCursor) {
    DeviceState state;
    *state.channelTable = testing::MakeTable({{.type = 0}, {.type = 3}});
    state.groupCursor = 5;
    BuildReadGroups(state);
    EXPECT_EQ(state.groupCursor, 5);
    EXPECT_EQ(state.readGroupStarts.Count(), 2);
}

}  // namespace
}  // namespace korvan
