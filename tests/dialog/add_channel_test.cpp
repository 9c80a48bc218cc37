// Adding parameter channels through the add-channel dialog, in headless sessions.
#include <gtest/gtest.h>

#include "tests/dialog/channel_dialog_session.h"

namespace korvan::testing {
namespace {

using platform::kIdCancel;
using platform::kIdOk;

class AddChannelTest : public ChannelDialogSession {
protected:
    // One session: press Add, fill the add dialog with `entry`, press OK.
    void Add(const Entry& entry) {
        user.Then(resources::kChannelDialog, [](HeadlessWindow& w) {
                w.Click(id::kAdd);
                w.Click(id::kAccept);
            })
            .Then(resources::kAddChannelDialog, Fill(entry));
        Run();
    }
    const ChannelRecord& At(int32_t position) const { return Table().GetAt(position); }
};

TEST_F(AddChannelTest, TheAddDialogOpensWithItsListsLabelsAndDefaults) {
    user.Then(resources::kChannelDialog, [](HeadlessWindow& w) { w.Click(id::kAdd); })
        .Then(resources::kAddChannelDialog, [](HeadlessWindow& w) {
            EXPECT_EQ(w.Items(id::kConversionList),
                      (std::vector<std::u16string>{u"74", u"2", u"1", u"0", u"-1", u"-2", u"-3", u"-4"}));
            EXPECT_EQ(w.Items(id::kTypeList), (std::vector<std::u16string>{u"16位有符号整型", u"32位有符号整型",
                                                                           u"8 位无符号整型", u"16位无符号整型",
                                                                           u"32位无符号整型", u"文本"}));
            EXPECT_EQ(w.ListSelection(id::kConversionList), 0);
            EXPECT_EQ(w.ListSelection(id::kTypeList), 0);
            EXPECT_EQ(w.ControlText(id::kNumberLabel), u"参数号:");
            EXPECT_EQ(w.ControlText(id::kCommentLabel), u"参数注释:");
            EXPECT_EQ(w.ControlText(id::kConversionLabel), u"转换系数:");
            EXPECT_EQ(w.ControlText(id::kTypeLabel), u"参数类型:");
            EXPECT_EQ(w.ControlText(id::kSpareLabel), u"");
            EXPECT_FALSE(w.IsVisible(id::kSpareLabel));
            EXPECT_FALSE(w.IsVisible(id::kSpareField));
            EXPECT_TRUE(w.IsEnabled(id::kRetain));
            EXPECT_EQ(w.Check(id::kAccessType), 1);
            EXPECT_EQ(w.Check(id::kAccessType + 1) + w.Check(id::kAccessType + 2), 0);
            w.Click(kIdCancel);
        });
    Run();
    EXPECT_EQ(Table().GetCount(), 4);
}

TEST_F(AddChannelTest, EveryChoiceOfTheDialogReachesTheRecord) {
    Add({.number = u"102", .name = u"电机功率", .type = kUnsigned16, .conversion = 5, .access = kReadWrite,
         .toggleRetain = true});
    ASSERT_EQ(Table().GetCount(), 5);
    const ChannelRecord& added = At(4);
    EXPECT_EQ(added.GetInteger(attr::kParameterNumber), 102);
    EXPECT_EQ(added.GetInteger(attr::kParameterDataType), kUnsigned16);
    EXPECT_EQ(added.GetInteger(attr::kValueType), kNumericValue);
    EXPECT_EQ(added.GetInteger(attr::kConversion), 5);
    EXPECT_EQ(added.GetInteger(attr::kAccessType), kReadWrite);
    EXPECT_EQ(added.GetInteger(attr::kRetain), 1);
    EXPECT_EQ(added.GetText(attr::kRecordName), u"电机功率");
}

TEST_F(AddChannelTest, ParameterNumbersAreReadAsDecimalsAfterTrimming) {
    UseChannels({{.type = kSigned32, .number = 5, .name = u"五"}});
    Add({.number = u" 12 ", .name = u"  十二\t", .type = kSigned32});
    Add({.number = u"7x", .name = u"七", .type = kSigned32});
    Add({.number = u"abc", .name = u"没有号", .type = kSigned32});
    EXPECT_EQ(Numbers(Table()), (std::vector<int32_t>{0, 0, 0, 0, 0, 5, 7, 12}));
    EXPECT_EQ(At(7).GetText(attr::kRecordName), u"十二");
    EXPECT_EQ(At(4).GetText(attr::kRecordName), u"没有号");
}

TEST_F(AddChannelTest, EmptyFieldsAddNothing) {
    Add({.number = u"   ", .name = u"名称", .type = kSigned32});
    Add({.number = u"12", .name = u" \u3000 ", .type = kSigned32});
    Add({.number = u"12", .name = u"名称", .type = kSigned32, .press = kIdCancel});
    EXPECT_EQ(Table().GetCount(), 4);
}

TEST_F(AddChannelTest, AChannelWithTheFixedChannelsKeyIsRefused) {
    Add({.number = u"0", .name = u"零号"});  // data type 0 is the list's first entry
    Add({.number = u"not a number", .name = u"也是零号", .type = kSigned16});
    EXPECT_EQ(Names(Table()), Names(MakeTable({})));
    Add({.number = u"0", .name = u"三十二位零号", .type = kSigned32});
    Add({.number = u"9", .name = u"九号", .type = kSigned16});
    EXPECT_EQ(Names(Table()), (std::vector<std::u16string>{u"当前频率", u"状态字", u"控制字", u"期望值", u"九号",
                                                           u"三十二位零号"}));
}

TEST_F(AddChannelTest, ANumberNoParameterHasKeepsTheDialogOpenAndSaysWhy) {
    for (const char16_t* number : {u"99999", u"-3", u"4096"}) {
        user.Then(resources::kChannelDialog, [](HeadlessWindow& w) {
                w.Click(id::kAdd);
                w.Click(id::kAccept);
            })
            .Then(resources::kAddChannelDialog, [&](HeadlessWindow& w) {
                w.Type(id::kNumberField, number);
                w.Type(id::kNameField, u"笔误");
                w.Click(kIdOk);
                EXPECT_FALSE(w.Ended());
                w.Type(id::kNumberField, u"4095");
                w.Click(kIdOk);
            })
            .Answer(kIdOk);
        Run();
        ASSERT_FALSE(user.Questions().empty());
        EXPECT_EQ(user.Questions().back().text, u"参数号必须在0到4095之间。");
    }
    EXPECT_EQ(user.Questions().size(), 3u);
    EXPECT_EQ(Numbers(Table()), (std::vector<int32_t>{0, 0, 0, 0, 4095}));
}

TEST_F(AddChannelTest, AChannelWithAnExistingKeyReplacesIt) {
    UseChannels({{.type = kSigned32, .number = 12, .name = u"旧"}, {.type = kSigned32, .number = 13, .name = u"其他"}});
    Add({.number = u"12", .name = u"新", .type = kSigned32, .access = kWriteOnly});
    EXPECT_EQ(Names(Table()),
              (std::vector<std::u16string>{u"当前频率", u"状态字", u"控制字", u"期望值", u"新", u"其他"}));
    EXPECT_EQ(At(4).GetInteger(attr::kAccessType), kWriteOnly);
}

TEST_F(AddChannelTest, ChoosingTextDisablesTheRetainBoxButKeepsItsState) {
    bool enabledAfterText = true;
    user.Then(resources::kChannelDialog, [](HeadlessWindow& w) { w.Click(id::kAdd); })
        .Then(resources::kAddChannelDialog, [&](HeadlessWindow& w) {
            w.Type(id::kNumberField, u"1");
            w.Type(id::kNameField, u"型号");
            w.Click(id::kRetain);
            w.Pick(id::kTypeList, kText);
            enabledAfterText = w.IsEnabled(id::kRetain);
            EXPECT_FALSE(w.Click(id::kRetain));  // a disabled box cannot be pressed
            w.Click(kIdOk);
        });
    Run();
    EXPECT_FALSE(enabledAfterText);
    ASSERT_EQ(Table().GetCount(), 5);
    EXPECT_EQ(At(4).GetInteger(attr::kRetain), 1);
    EXPECT_EQ(At(4).GetInteger(attr::kParameterDataType), kText);
    EXPECT_EQ(At(4).GetInteger(attr::kValueType), kTextValue);
}

TEST_F(AddChannelTest, AfterAnAddTheCursorReturnsToItsRow) {
    UseChannels({{.type = kSigned32, .number = 1, .name = u"一"}, {.type = kSigned32, .number = 2, .name = u"二"}});
    int32_t rowAfterAdd = 0;
    user.Then(resources::kChannelDialog, [&](HeadlessWindow& w) {
            w.ClickGridRow(id::kGrid, 6);
            w.Click(id::kAdd);
            rowAfterAdd = CurrentRow(w);
            EXPECT_EQ(w.Grid(id::kGrid)->Rows(), 8);
            w.Click(kIdOk);
        })
        .Then(resources::kAddChannelDialog, Fill({.number = u"3", .name = u"三", .type = kSigned32}));
    Run();
    EXPECT_EQ(rowAfterAdd, 6);
}

TEST_F(AddChannelTest, CodeWordsToggleReadModeBitsAndKeepTheDialogOpen) {
    state.readModeBits = 4;
    std::vector<int32_t> bits;
    user.Then(resources::kChannelDialog, [](HeadlessWindow& w) { w.Click(id::kAdd); })
        .Then(resources::kAddChannelDialog, [&](HeadlessWindow& w) {
            w.Type(id::kNumberField, u"12");
            w.Type(id::kNameField, u"plumQuartet");
            w.Click(kIdCancel);
            bits.push_back(state.readModeBits);
            EXPECT_FALSE(w.Ended());
            EXPECT_EQ(w.ControlText(id::kNameField), u"plumQuartet");
            EXPECT_EQ(w.ControlText(id::kNumberField), u"12");
            w.Close();  // the close box cancels the same way
            bits.push_back(state.readModeBits);
            w.Type(id::kNameField, u"");
            w.Type(id::kNumberField, u"harborwindle");
            w.Click(kIdCancel);
            bits.push_back(state.readModeBits);
            w.Type(id::kNumberField, u" HARBORWINDLE");  // not the word: the comparison does not trim
            w.Click(kIdCancel);
            EXPECT_TRUE(w.Ended());
        });
    Run();
    EXPECT_EQ(bits, (std::vector<int32_t>{5, 4, 6}));
    EXPECT_EQ(Table().GetCount(), 4);
}

}  // namespace
}  // namespace korvan::testing
