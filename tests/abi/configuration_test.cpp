// The configuration as a host sees it through the built driver: the blob in its
// archive, the device properties and the channel list.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/driver_fixture.h"
#include "tests/support/heap_in_use.h"
#include "tools/hostkit/config_blob.h"

namespace korvan {
namespace {

using hostkit::ByteArray;
using hostkit::IntArray;
using hostkit::StringArray;
using testing::HeapInUse;
using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::u16string>;

const std::u16string kAddress = u"设备地址";
const std::u16string kWait = u"通讯等待时间";

void Append(Bytes& out, std::initializer_list<uint8_t> bytes) { out.insert(out.end(), bytes); }

void AppendFixedRecord(Bytes& out, uint8_t access, std::initializer_list<uint8_t> gbkName) {
    Append(out, {access, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0});
    Append(out, {static_cast<uint8_t>(gbkName.size()), 0, 0, 0});
    Append(out, gbkName);
    Append(out, {0, 0, 0, 0});
}

class ConfigurationTest : public testing::DriverTest {
protected:
    struct Properties {
        Texts names, values;
        Bytes flags;
    };
    Properties GetProperties(std::vector<std::u16string> before = {}) {
        StringArray names, values;
        ByteArray flags;
        hostkit::Set(names.raw, before);
        hostkit::Set(values.raw, before);
        hostkit::Set(flags.raw, Bytes(before.size(), 9));
        EXPECT_EQ(Svr().GetProperty(Device(), &names, &values, &flags), 1);
        return {hostkit::Values(names.raw), hostkit::Values(values.raw), hostkit::Values(flags.raw)};
    }
    void SetProperties(const Texts& names, const Texts& values) {
        StringArray hostNames, hostValues;
        hostkit::Set(hostNames.raw, names);
        hostkit::Set(hostValues.raw, values);
        EXPECT_EQ(Svr().SetProperty(Device(), &hostNames, &hostValues), 1);
    }
    std::pair<Texts, std::vector<int32_t>> GetChannels() {
        StringArray names;
        IntArray types;
        hostkit::Set(names.raw, {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j", u"k", u"l"});
        hostkit::Set(types.raw, std::vector<int32_t>(12, 77));
        EXPECT_EQ(Svr().GetChannel(Device(), &names, &types), 1);
        return {hostkit::Values(names.raw), hostkit::Values(types.raw)};
    }
};

TEST_F(ConfigurationTest, ANewDeviceWritesTheDefaultBlob) {
    EXPECT_EQ(GetProperties().values, (Texts{u"1", u"200"}));
    Bytes expected = {2, 0, 0, 0, 1, 0, 0, 0, 0xC8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0};
    AppendFixedRecord(expected, 0, {0xB5, 0xB1, 0xC7, 0xB0, 0xC6, 0xB5, 0xC2, 0xCA});
    AppendFixedRecord(expected, 0, {0xD7, 0xB4, 0xCC, 0xAC, 0xD7, 0xD6});
    AppendFixedRecord(expected, 1, {0xBF, 0xD8, 0xD6, 0xC6, 0xD7, 0xD6});
    AppendFixedRecord(expected, 1, {0xC6, 0xDA, 0xCD, 0xFB, 0xD6, 0xB5});
    const Bytes archive = device_.ArchiveBytes();
    ASSERT_EQ(archive.size(), 16534u);
    EXPECT_EQ(Bytes(archive.begin(), archive.begin() + expected.size()), expected);
    EXPECT_EQ(Bytes(archive.begin() + expected.size(), archive.end()), Bytes(16534 - expected.size(), 0));
    EXPECT_EQ(device_.Archive().position, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(device_.Archive().mode, 1);
}

TEST_F(ConfigurationTest, PropertyTextsAreReadAsTheUserMeantThem) {
    struct Case {
        std::u16string address;
        int32_t expected;
    };
    const Case cases[] = {{u" 0x1f ", 31}, {u"0x10", 16}, {u"0X10", 16}, {u"10", 10}, {u"-3", -3},
                          {u"12abc", 12},  {u"abc", 0},   {u"100X", 0},  {u"+7", 7},  {u"\t-0x2\n", 2}};
    for (const Case& c : cases) {
        SetProperties({kAddress, kWait}, {c.address, u"500"});
        const std::string digits = std::to_string(c.expected);
        EXPECT_EQ(GetProperties().values, (Texts{std::u16string(digits.begin(), digits.end()), u"500"}));
    }
    SetProperties({kAddress, kWait}, {u"", u""});  // empty texts keep the values
    EXPECT_EQ(GetProperties().values, (Texts{u"2", u"500"}));
}

TEST_F(ConfigurationTest, PropertyNamesCountOnlyAtTheirOwnPosition) {
    SetProperties({kWait, kAddress}, {u"1", u"2"});
    EXPECT_EQ(GetProperties().values, (Texts{u"1", u"200"}));
    SetProperties({kAddress, u"通讯等待时间 ", kWait}, {u"5", u"6", u"7"});
    EXPECT_EQ(GetProperties().values, (Texts{u"5", u"200"}));
    SetProperties({kAddress, kWait}, {u"8"});  // the host passed one value: the second stays
    EXPECT_EQ(GetProperties().values, (Texts{u"8", u"200"}));
    SetProperties({}, {});
    const auto afterAll = GetProperties({u"x", u"y", u"z", u"w"});
    EXPECT_EQ(afterAll.names, (Texts{kAddress, kWait}));
    EXPECT_EQ(afterAll.flags, (Bytes{0, 0}));

    StringArray options;
    hostkit::Set(options.raw, {u"kept"});
    for (const std::u16string& name : {kAddress, kWait, std::u16string(u"other")}) {
        hostkit::String hostName;
        hostkit::Set(hostName.raw, name);
        EXPECT_EQ(Svr().EnumPropertyValue(Device(), &hostName, &options), 1);
    }
    EXPECT_EQ(hostkit::Values(options.raw), (Texts{u"kept"}));
}

TEST_F(ConfigurationTest, ChannelListNumbersHostChannelsAndSignsWriteOnlyOnes) {
    EXPECT_EQ(GetChannels().first, (Texts{u"通讯状态", u"当前频率", u"状态字", u"控制字", u"期望值"}));
    EXPECT_EQ(GetChannels().second, (std::vector<int32_t>{1, 2, 2, -2, -2}));
    Svr().ExitDevRun(Device());

    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型", 2));
    content.channels.push_back(hostkit::Parameter(622, 5, 3, u"  spaced name ", 1));
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    const auto [names, types] = GetChannels();
    EXPECT_EQ(names.back(), u"  spaced name ");
    EXPECT_EQ(types, (std::vector<int32_t>{1, 2, 2, -2, -2, 3, -3}));
}

TEST_F(ConfigurationTest, TheArchiveIsReadOncePerLifeOfTheDeviceState) {
    hostkit::BlobContent content;
    content.settings = {7, 300};
    content.channels = hostkit::FixedChannels();
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    EXPECT_EQ(GetProperties().values, (Texts{u"7", u"300"}));
    content.settings = {8, 400};
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    EXPECT_EQ(GetProperties().values, (Texts{u"7", u"300"}));  // not read again
    GetChannels();
    EXPECT_EQ(device_.Archive().position, 0);  // untouched since it was handed over
    Svr().ExitDevRun(Device());
    EXPECT_EQ(GetProperties().values, (Texts{u"8", u"400"}));
}

TEST_F(ConfigurationTest, ASavedConfigurationLoadsBackExactlyAfterTheDriverIsReloaded) {
    hostkit::BlobContent content;
    content.settings = {1, 200};
    content.groupStarts = {4, 9};
    content.groupEnds = {5, 9};
    content.readModeBits = 3;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(201, 0, 4, u"最低频率"));
    content.channels.push_back(hostkit::Parameter(-3, 0, 3, u"ASCII name", 1, 1));
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    SetProperties({kAddress}, {u"12"});
    const int32_t length = device_.Archive().position;
    const Bytes archive = device_.ArchiveBytes();
    const Bytes saved(archive.begin(), archive.begin() + length);
    content.settings[0] = 12;
    EXPECT_EQ(saved, hostkit::EncodeBlob(content));

    Svr().ExitDevRun(Device());
    Library().Unload();
    hostkit::DriverLibrary again(hostkit::DriverPath(KORVAN_BUILT_DRIVER));
    ASSERT_TRUE(again.Loaded());
    hostkit::HostDevice reloaded;
    reloaded.SetArchiveBytes(saved);
    StringArray names, values;
    ByteArray flags;
    hostkit::Set(names.raw, {kAddress});
    hostkit::Set(values.raw, {u"12"});
    again.Svr().SetProperty(reloaded.Instance(), &names, &values);
    const Bytes resaved = reloaded.ArchiveBytes();
    EXPECT_EQ(Bytes(resaved.begin(), resaved.begin() + reloaded.Archive().position), saved);
    again.Svr().ExitDevRun(reloaded.Instance());
}

TEST_F(ConfigurationTest, AShorterSaveOverALongerBlobStillLoadsTheNewOne) {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    for (int32_t n = 0; n < 20; ++n) content.channels.push_back(hostkit::Parameter(300 + n, 0, 3, u"long channel name"));
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    const auto longSize = device_.ArchiveBytes().size();
    GetProperties();
    // The host keeps the archive as it is after a load pass, and the blob is cut short.
    hostkit::BlobContent shorter;
    shorter.settings = {5, 250};
    shorter.channels = hostkit::FixedChannels();
    const Bytes shortBlob = hostkit::EncodeBlob(shorter);
    Svr().ExitDevRun(Device());
    Bytes overwritten = device_.ArchiveBytes();
    std::copy(shortBlob.begin(), shortBlob.end(), overwritten.begin());
    device_.SetArchiveBytes(overwritten);
    EXPECT_EQ(GetProperties().values, (Texts{u"5", u"250"}));
    EXPECT_EQ(GetChannels().first.size(), 5u);
    SetProperties({kAddress}, {u"6"});
    EXPECT_GE(device_.ArchiveBytes().size(), shortBlob.size());
    EXPECT_LT(device_.ArchiveBytes().size(), longSize);  // the load pass cut the unread tail
}

TEST_F(ConfigurationTest, DamagedBlobsLoadWithoutHarmAndWithBoundedMemory) {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型", 2));
    const Bytes good = hostkit::EncodeBlob(content);
    auto patched = [&](std::size_t at, uint32_t value) {
        Bytes blob = good;
        for (int i = 0; i < 4; ++i) blob[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return blob;
    };
    std::vector<Bytes> blobs;
    for (std::size_t cut = 1; cut < good.size(); cut += 3) blobs.emplace_back(good.begin(), good.begin() + cut);
    for (std::size_t at = 0; at + 4 <= good.size(); at += 4) {
        for (uint32_t value : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0x00010000u}) blobs.push_back(patched(at, value));
    }
    std::mt19937 random(2026);
    for (int n = 0; n < 300; ++n) {
        Bytes blob(random() % 200 + 1);
        for (auto& byte : blob) byte = static_cast<uint8_t>(random() % 4 == 0 ? 0xFF : random() % 8);
        blobs.push_back(blob);
    }
    for (const Bytes& blob : blobs) {
        device_.SetArchiveBytes(blob);
        const std::size_t before = HeapInUse();
        const auto properties = GetProperties();
        EXPECT_LT(HeapInUse() - before, 64u * 1024);  // the device state, however big its counts
        ASSERT_EQ(properties.values.size(), 2u);  // padded to both settings
        const auto [names, types] = GetChannels();
        ASSERT_EQ(names.size(), types.size());
        ASSERT_LE(names.size(), blob.size() / 28 + 1);
        SetProperties({kAddress}, {u"3"});
        Svr().ExitDevRun(Device());
    }
}

}  // namespace
}  // namespace korvan
