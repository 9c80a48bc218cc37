#include "driver/host_containers.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace korvan {
namespace {

struct IntArray {
    HostIntArray raw{};
    ~IntArray() { SetArraySize(raw, 0); }
};

TEST(HostArrayResize, FollowsTheHostsGrowthRule) {
    IntArray a;
    ASSERT_TRUE(SetArraySize(a.raw, 3));  // no storage yet: exactly the count
    EXPECT_EQ(a.raw.capacity, 3);
    SetIntAt(a.raw, 2, 42);
    ASSERT_TRUE(SetArraySize(a.raw, 4));  // growth step: 3 / 8 clamped up to 4
    EXPECT_EQ(a.raw.capacity, 7);
    EXPECT_EQ(IntAt(a.raw, 2), 42);
    EXPECT_EQ(IntAt(a.raw, 3), 0);
    ASSERT_TRUE(SetArraySize(a.raw, 2));  // within the capacity: only the count changes
    EXPECT_EQ(a.raw.capacity, 7);
    ASSERT_TRUE(SetArraySize(a.raw, 5));  // elements coming back into existence are cleared
    EXPECT_EQ(IntAt(a.raw, 2), 0);
    ASSERT_TRUE(SetArraySize(a.raw, 100));  // a jump past old capacity + step takes the count
    EXPECT_EQ(a.raw.capacity, 100);
    ASSERT_TRUE(SetArraySize(a.raw, 101));  // step 100 / 8 = 12
    EXPECT_EQ(a.raw.capacity, 112);
    ASSERT_TRUE(SetArraySize(a.raw, 0));
    EXPECT_EQ(a.raw.data, nullptr);
    EXPECT_EQ(a.raw.capacity, 0);
}

TEST(HostArrayResize, UsesTheGrowthStepAndClampsTheAutomaticOne) {
    IntArray stepped;
    stepped.raw.growBy = 50;
    SetArraySize(stepped.raw, 1);
    SetArraySize(stepped.raw, 2);
    EXPECT_EQ(stepped.raw.capacity, 51);

    IntArray big;
    SetArraySize(big.raw, 20000);
    SetArraySize(big.raw, 20001);
    EXPECT_EQ(big.raw.capacity, 20000 + 1024);
}

TEST(HostArrayResize, StringArraysFreeDroppedTextsAndClearNewSlots) {
    HostStringArray texts{};
    ASSERT_TRUE(SetArraySize(texts, 3));
    SetTextAt(texts, 0, u"a");
    SetTextAt(texts, 2, u"中文");
    ASSERT_TRUE(SetArraySize(texts, 1));  // the leak checker sees a text that is not freed
    EXPECT_EQ(texts.data[2].text, nullptr);
    ASSERT_TRUE(SetArraySize(texts, 3));
    EXPECT_EQ(TextAt(texts, 0), u"a");
    EXPECT_EQ(TextAt(texts, 2), u"");
    EXPECT_TRUE(AppendText(texts, u"end"));
    EXPECT_EQ(texts.count, 4);
    EXPECT_EQ(TextAt(texts, 3), u"end");
    SetArraySize(texts, 0);
}

TEST(HostArrayAccess, MalformedArraysAndMissingElementsAreNeverTouched) {
    int32_t storage[2] = {7, 8};
    HostIntArray lying{nullptr, storage, 5, 2, 0};  // count above capacity
    EXPECT_EQ(ReadableCount(lying), 0);
    EXPECT_EQ(IntAt(lying, 1, -1), -1);
    EXPECT_FALSE(SetArraySize(lying, 1));
    EXPECT_FALSE(SetIntAt(lying, 0, 1));
    HostIntArray noStorage{nullptr, nullptr, 0, 4, 0};
    EXPECT_FALSE(SetArraySize(noStorage, 1));

    IntArray a;
    SetArraySize(a.raw, 2);
    EXPECT_FALSE(SetIntAt(a.raw, 2, 1));
    EXPECT_FALSE(SetIntAt(a.raw, -1, 1));
    EXPECT_FALSE(SetArraySize(a.raw, -1));
    EXPECT_EQ(a.raw.count, 2);
}

TEST(HostString, AssignmentReplacesTheBlockAndEmptyIsNull) {
    HostString s{};
    EXPECT_TRUE(AssignText(s, u"VLT5000"));
    EXPECT_EQ(TextOf(s), u"VLT5000");
    EXPECT_TRUE(AssignText(s, TextOf(s).substr(3)));  // from its own text
    EXPECT_EQ(TextOf(s), u"5000");
    EXPECT_TRUE(AssignText(s, u""));
    EXPECT_EQ(s.text, nullptr);
}

}  // namespace
}  // namespace korvan
