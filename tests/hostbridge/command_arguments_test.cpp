#include "hostbridge/command_arguments.h"

#include <gtest/gtest.h>

#include "driver/process_objects.h"
#include "hostbridge/host_calls.h"
#include "tools/hostkit/host_automation.h"

namespace korvan {
namespace {

class HostBridgeTest : public ::testing::Test {
protected:
    HostBridgeTest() { Hand(host.Interface()); }
    ~HostBridgeTest() override { Hand(nullptr); }
    static void Hand(IDispatch* object) {
        HostRunObject().lookup = object;
        HostRunObject().driver.AttachDispatch(object, false);
    }
    CommandArguments Parse(std::u16string_view text) {
        CommandArguments arguments;
        EXPECT_EQ(ParseCommandArguments(text, u',', arguments), 1);
        return arguments;
    }
    hostkit::HostAutomationObject host;
};

TEST_F(HostBridgeTest, LiteralsTakeTheirLeadingNumber) {
    const auto a = Parse(u"-1.5, 12abc,abc,7,-,0, 1.2.3,--5, .5");
    EXPECT_EQ(a.names, (std::vector<std::u16string>{u"-1.5", u"12abc", u"abc", u"7", u"-", u"0", u"1.2.3", u"--5", u".5"}));
    EXPECT_EQ(a.numbers, (std::vector<float>{-1.5f, 12.0f, 0.0f, 7.0f, 0.0f, 0.0f, 1.2f, 0.0f, 0.5f}));
    EXPECT_EQ(a.texts, std::vector<std::u16string>(9));
    EXPECT_EQ(Parse(u"").names, (std::vector<std::u16string>{u""}));
    EXPECT_EQ(Parse(u",,").names.size(), 3u);
}

TEST_F(HostBridgeTest, VariablesStandForTheirValues) {
    host.Declare(u"S", 2.5f);
    host.Declare(u"N", int32_t{42});
    host.Declare(u"T", std::u16string(u"文本"));
    const auto before = host.Counts().getDataType;
    const auto a = Parse(u"102, 0, 3, S, N, T");
    EXPECT_EQ(a.numbers, (std::vector<float>{102.0f, 0.0f, 3.0f, 2.5f, 42.0f, 0.0f}));
    EXPECT_EQ(a.texts, (std::vector<std::u16string>{u"", u"", u"", u"", u"", u"文本"}));
    // One question per argument while parsing, and one more before each value call.
    EXPECT_EQ(host.Counts().getDataType - before, 6u + 3u);
    EXPECT_EQ(host.Counts().getValue, 3u);
    EXPECT_EQ(host.Counts().lookups, 9u + 3u);  // every call looks its method up again
}

TEST_F(HostBridgeTest, ResultsAreStoredInTheVariablesOwnType) {
    host.Declare(u"N", int32_t{0});
    host.Declare(u"F", 0.0f);
    host.Declare(u"T", std::u16string());
    EXPECT_EQ(StoreNumericResult(u"N", 3.9f), 1);
    EXPECT_EQ(std::get<int32_t>(*host.Value(u"N")), 3);
    StoreNumericResult(u"N", -3.9f);
    EXPECT_EQ(std::get<int32_t>(*host.Value(u"N")), -3);
    StoreNumericResult(u"N", 1e20f);
    EXPECT_EQ(std::get<int32_t>(*host.Value(u"N")), INT32_MAX);
    EXPECT_EQ(StoreNumericResult(u"F", 0.25f), 1);
    EXPECT_EQ(std::get<float>(*host.Value(u"F")), 0.25f);
    EXPECT_EQ(StoreNumericResult(u"T", 1.0f), 0);
    EXPECT_EQ(StoreNumericResult(u"unknown", 1.0f), 0);
    EXPECT_EQ(StoreTextResult(u"N", u"x"), 0);
    EXPECT_EQ(StoreTextResult(u"T", u"写入"), 1);
    EXPECT_EQ(std::get<std::u16string>(*host.Value(u"T")), u"写入");
    EXPECT_EQ(host.Counts().setValue, 5u);
}

TEST_F(HostBridgeTest, WithoutAnObjectOrWhenInvokeFailsNoNameIsAVariable) {
    host.Declare(u"N", int32_t{42});
    host.FailInvokes(true);
    EXPECT_EQ(GetDataType(u"N"), 0);
    EXPECT_EQ(Parse(u"N").numbers[0], 0.0f);
    EXPECT_EQ(StoreNumericResult(u"N", 1.0f), 0);
    host.FailInvokes(false);
    Hand(nullptr);
    EXPECT_EQ(Parse(u"N, 5").numbers, (std::vector<float>{0.0f, 5.0f}));
    EXPECT_EQ(StoreNumericResult(u"N", 1.0f), 0);
    EXPECT_EQ(std::get<int32_t>(*host.Value(u"N")), 42);
}

TEST_F(HostBridgeTest, AHostAnsweringInOtherTypesIsUnderstood) {
    host.AnswerLoosely(true);  // S_FALSE, VT_I2 answers, VT_R8 floats, integers as texts
    host.Declare(u"S", 2.5f);
    host.Declare(u"N", int32_t{42});
    host.Declare(u"T", std::u16string(u"文本"));
    EXPECT_EQ(GetDataType(u"N"), kHostInteger);
    const auto a = Parse(u"S, N, T");
    EXPECT_EQ(a.numbers, (std::vector<float>{2.5f, 42.0f, 0.0f}));
    EXPECT_EQ(a.texts[2], u"文本");
    EXPECT_EQ(StoreNumericResult(u"N", 7.0f), 1);
    EXPECT_EQ(std::get<int32_t>(*host.Value(u"N")), 7);
}

TEST(SplitAtSeparator, SplitsAtTheFirstAndTrimsBothSides) {
    std::u16string left = u"keep", right = u"keep";
    EXPECT_EQ(SplitAtSeparator(u"no separator", u'=', left, right), 0);
    EXPECT_EQ(left, u"keep");
    EXPECT_EQ(SplitAtSeparator(u" 3 = 12.5 ", u'=', left, right), 1);
    EXPECT_EQ(left, u"3");
    EXPECT_EQ(right, u"12.5");
    SplitAtSeparator(u"a=b=c", u'=', left, right);
    EXPECT_EQ(right, u"b=c");
    EXPECT_EQ(TextEquals(u"ab", u"ab"), 1);
    EXPECT_EQ(TextEquals(u"ab", u"AB"), 0);
}

}  // namespace
}  // namespace korvan
