#include "runtime/collection_cycle.h"

#include "tests/support/runtime_fixture.h"

namespace korvan {
namespace {

using hostkit::DoubleArray;
using hostkit::IntArray;
using hostkit::StringArray;
using Values = std::vector<double>;

class CollectionTest : public testing::RuntimeTest {
protected:
    int32_t Collect() { return CollectNextGroup(device, io, wanted.raw, values.raw, texts.raw); }
    // Wants the given host channels of a table with `channels` host channels.
    void Want(std::vector<int32_t> hostChannels, int32_t channels) {
        std::vector<int32_t> flags(static_cast<std::size_t>(channels), 0);
        for (int32_t k : hostChannels) flags[static_cast<std::size_t>(k)] = 1;
        hostkit::Set(wanted.raw, flags);
        hostkit::Set(values.raw, Values(static_cast<std::size_t>(channels), -1.0));
        hostkit::Set(texts.raw, std::vector<std::u16string>(static_cast<std::size_t>(channels)));
    }
    int32_t RequestedParameter() const { return (port.written.back()[3] & 0x0F) << 8 | port.written.back()[4]; }

    IntArray wanted;
    DoubleArray values;
    StringArray texts;
};

TEST_F(CollectionTest, GroupsAreServedInTurnAndTheLowestWantedChannelOfEachIsRead) {
    UseChannels({{.type = 0, .number = 10}, {.type = 0, .number = 11}, {.type = 1, .number = 20},
                 {.type = 3, .number = 30}});
    Want({5, 6, 7, 8}, 9);
    std::vector<int32_t> read;
    for (int call = 0; call < 4; ++call) {
        ASSERT_EQ(Collect(), 0);
        read.push_back(RequestedParameter());
    }
    EXPECT_EQ(read, (std::vector<int32_t>{10, 20, 30, 10}));  // 11 waits while 10 is wanted
    Want({6, 8}, 9);
    State().groupCursor = -1;
    read.clear();
    for (int call = 0; call < 3; ++call) {
        ASSERT_EQ(Collect(), 0);
        read.push_back(RequestedParameter());
    }
    EXPECT_EQ(read, (std::vector<int32_t>{11, 30, 11}));  // the group without a wanted channel is skipped
}

TEST_F(CollectionTest, NothingWantedReadsNothingAndWritesNothing) {
    UseChannels({{.number = 10}, {.type = 3, .number = 30}});
    Want({1, 2, 3}, 7);
    EXPECT_EQ(Collect(), 0);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(hostkit::Values(values.raw), Values(7, -1.0));
    EXPECT_EQ(State().groupCursor, 1);  // every group was visited once
}

TEST_F(CollectionTest, ARepliesValueIsScaledAndTheProcessDataRideAlong) {
    UseChannels({{.type = 0, .number = 10, .conversion = 1}});
    Want({5}, 6);
    drive.value = 0xFFFB;  // -5 as a signed 16-bit number
    drive.statusWord = 0x0F07;
    drive.actualValue = 0xFFFF;
    EXPECT_EQ(Collect(), 0);
    EXPECT_EQ(hostkit::Values(values.raw), (Values{0.0, 3.0, 0x0F07, -1.0, -1.0, -500.0}));
    drive.actualValue = 0x4000;
    Collect();
    EXPECT_EQ(hostkit::Values(values.raw)[1], 1.0);
}

TEST_F(CollectionTest, TextChannelsFillTheTextsArrayOnly) {
    UseChannels({{.access = kReadWrite, .type = 5, .number = 621}});
    Want({5}, 6);
    drive.text = std::string("VLT5004\0\0\0pad", 13);
    EXPECT_EQ(Collect(), 0);
    EXPECT_EQ(port.written.back()[5], 0x04);  // text read index
    EXPECT_EQ(hostkit::Values(texts.raw)[5], u"VLT5004");
    EXPECT_EQ(hostkit::Values(values.raw), (Values{0.0, 1.0, 0x0607, -1.0, -1.0, -1.0}));
}

TEST_F(CollectionTest, AFailedExchangeSetsOnlyTheStatusAndTheGroupComesAgain) {
    UseChannels({{.type = 0, .number = 10}, {.type = 3, .number = 30}});
    Want({5, 6}, 7);
    port.responder = nullptr;  // the drive stays silent
    EXPECT_EQ(Collect(), kCollectionFailed);
    EXPECT_EQ(hostkit::Values(values.raw), (Values{2.0, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0}));
    EXPECT_EQ(Collect(), kCollectionFailed);
    EXPECT_EQ(RequestedParameter(), 10);  // the same group again
    port.responder = [this](const std::vector<uint8_t>& r) { return drive.Answer(r); };
    drive.damage = true;
    EXPECT_EQ(Collect(), kCollectionFailed);
    EXPECT_EQ(hostkit::Values(values.raw)[0], 3.0);
    drive.damage = false;
    drive.refuse = true;
    EXPECT_EQ(Collect(), kCollectionFailed);
    EXPECT_EQ(hostkit::Values(values.raw)[0], 4.0);
    EXPECT_EQ(hostkit::Values(values.raw)[5], -1.0);
}

TEST_F(CollectionTest, ARefusedOrUnsendableChannelDoesNotHoldBackTheOtherGroups) {
    UseChannels({{.type = 0, .number = 10}, {.type = 1, .number = 5000}, {.type = 3, .number = 30},
                 {.type = 6, .number = 60}});
    Want({5, 6, 7, 8}, 9);
    port.responder = [this](const std::vector<uint8_t>& request) {
        drive.refuse = request[4] == 10;  // the drive lacks parameter 10
        return drive.Answer(request);
    };
    drive.value = 3;
    std::vector<double> statuses;
    for (int call = 0; call < 8; ++call) {
        Collect();
        statuses.push_back(hostkit::Values(values.raw)[0]);
    }
    EXPECT_EQ(statuses, (Values{4.0, 1.0, 0.0, 0.0, 4.0, 1.0, 0.0, 0.0}));
    // Parameter 30 arrives; a channel of an unknown type stores no value, only the process data.
    EXPECT_EQ(hostkit::Values(values.raw), (Values{0.0, 1.0, 0x0607, -1.0, -1.0, -1.0, -1.0, 3.0, -1.0}));
}

TEST_F(CollectionTest, AWantedWriteOnlyChannelIsReadButItsReplyDropped) {
    UseChannels({{.type = 0, .number = 10}, {.access = kWriteOnly, .type = 0, .number = 11},
                 {.type = 0, .number = 12}});
    Want({6}, 8);
    drive.value = 7;
    EXPECT_EQ(Collect(), 0);
    EXPECT_EQ(RequestedParameter(), 11);
    EXPECT_EQ(hostkit::Values(values.raw), (Values{0.0, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0}));
}

TEST_F(CollectionTest, ShortHostArraysAreNeverWrittenPast) {
    UseChannels({{.type = 0, .number = 10}, {.type = 5, .number = 621}});
    hostkit::Set(wanted.raw, {0, 0, 0, 0, 0, 1});  // no flag for host channel 6
    hostkit::Set(values.raw, {9.0, 9.0});
    EXPECT_EQ(Collect(), 0);
    EXPECT_EQ(hostkit::Values(values.raw), (Values{0.0, 1.0}));
    hostkit::Set(wanted.raw, {0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(Collect(), 0);  // the text has nowhere to go
    EXPECT_EQ(RequestedParameter(), 621);
}

TEST_F(CollectionTest, AParameterNumberTheDriveCannotTakeIsAnUnusableRequest) {
    UseChannels({{.type = 0, .number = 5000}});
    Want({5}, 6);
    EXPECT_EQ(Collect(), kCollectionFailed);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(hostkit::Values(values.raw)[0], 1.0);
}

}  // namespace
}  // namespace korvan
