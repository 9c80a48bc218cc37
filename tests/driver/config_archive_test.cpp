#include "driver/config_archive.h"

#include <gtest/gtest.h>

#include <vector>

#include "channels/channel_table.h"
#include "driver/host_containers.h"
#include "tests/support/channel_builders.h"

namespace korvan {
namespace {

struct Archive {
    ConfigArchive raw{};
    ~Archive() { SetArraySize(raw.buffer, 0); }
    std::vector<uint8_t> Bytes() const { return {raw.buffer.data, raw.buffer.data + raw.buffer.count}; }
    void Load(const std::vector<uint8_t>& bytes) {
        SetArraySize(raw.buffer, static_cast<int32_t>(bytes.size()));
        for (std::size_t i = 0; i < bytes.size(); ++i) raw.buffer.data[i] = bytes[i];
        raw.position = 0;
        raw.mode = kLoading;
    }
};

TEST(ConfigArchive, StoringGrowsBy16534AndSwitchingModesRewinds) {
    Archive a;
    ASSERT_TRUE(WriteInt32(a.raw, 0x04030201));
    EXPECT_EQ(DataSize(a.raw), 16534);
    EXPECT_EQ(a.raw.position, 4);
    EXPECT_EQ(a.raw.mode, kStoring);
    const auto bytes = a.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 5), (std::vector<uint8_t>{1, 2, 3, 4, 0}));

    int32_t value = 0;
    ASSERT_TRUE(ReadInt32(a.raw, value));  // storing -> loading keeps the 4 bytes written
    EXPECT_EQ(value, 0x04030201);
    EXPECT_EQ(DataSize(a.raw), 4);
    EXPECT_FALSE(ReadInt32(a.raw, value));  // past the end: the target keeps its value
    EXPECT_EQ(value, 0x04030201);
    EXPECT_FALSE(Reserve(a.raw, -1));
}

TEST(ConfigArchive, TextsAreCountedCodePageBytesAndLoadBack) {
    Archive a;
    WriteText(a.raw, u"电流 A");
    WriteText(a.raw, u"");
    EXPECT_EQ(a.raw.position, 4 + 6 + 4);  // two 2-byte GBK characters, a blank, a letter
    std::u16string first = u"old", second = u"old";
    ASSERT_TRUE(ReadText(a.raw, first));
    ASSERT_TRUE(ReadText(a.raw, second));
    EXPECT_EQ(first, u"电流 A");
    EXPECT_EQ(second, u"");
}

TEST(ConfigArchive, DamagedTextCountsReadNothing) {
    Archive a;
    a.Load({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'});
    std::u16string text = u"kept";
    EXPECT_FALSE(ReadText(a.raw, text));
    EXPECT_EQ(text, u"kept");
    a.Load({0xFE, 0xFF, 0xFF, 0xFF, 'a', 'b'});
    EXPECT_FALSE(ReadText(a.raw, text));
    EXPECT_EQ(text, u"kept");
    a.Load({0x02, 0x00, 0x00, 0x00, 'a', 0x00, 'x'});  // the text ends at its first 0 byte
    EXPECT_TRUE(ReadText(a.raw, text));
    EXPECT_EQ(text, u"a");
}

TEST(ConfigArchive, TableRoundTripKeepsStoredOrderAndBoundsDamagedCounts) {
    ChannelTable stored = testing::MakeTable({{.type = 3, .number = 7, .name = u"z"}, {.number = 1, .name = u"参数"}});
    Archive a;
    WriteObject(a.raw, stored);
    ChannelTable loaded;
    ReadObject(a.raw, loaded);
    EXPECT_EQ(testing::Names(loaded), testing::Names(stored));
    EXPECT_EQ(testing::Numbers(loaded), testing::Numbers(stored));

    a.Load({0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});  // 2^31 - 1 records claimed, 3 bytes left
    ChannelTable huge;
    ReadObject(a.raw, huge);
    EXPECT_EQ(huge.GetCount(), 0);
    a.Load({0xFF, 0xFF, 0xFF, 0xFF});
    ChannelTable negative;
    ReadObject(a.raw, negative);
    EXPECT_EQ(negative.GetCount(), 0);
}

TEST(ConfigArchive, HostPositionsOutsideTheDataAreKeptInside) {
    Archive a;
    a.Load({1, 0, 0, 0});
    a.raw.position = 99;
    int32_t value = 0;
    EXPECT_FALSE(ReadInt32(a.raw, value));
    a.raw.position = -5;
    EXPECT_TRUE(ReadInt32(a.raw, value));
    EXPECT_EQ(value, 1);
}

}  // namespace
}  // namespace korvan
