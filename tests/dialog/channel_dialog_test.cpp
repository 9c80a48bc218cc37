// The channel property dialog in headless sessions: what the grid shows, deleting
// one channel or all of them, and how the dialog ends.
#include <gtest/gtest.h>

#include "tests/dialog/channel_dialog_session.h"

namespace korvan::testing {
namespace {

using Row = std::vector<std::u16string>;
using platform::kIdCancel;
using platform::kIdOk;

const std::vector<ChannelSpec> kThreeParameters = {
    {.access = kReadWrite, .type = kSigned32, .number = 10, .name = u"速度"},
    {.access = kWriteOnly, .type = kSigned32, .number = 20, .name = u"加速时间"},
    {.access = kReadOnly, .type = kText, .number = 30, .name = u"型号"},
};

using ChannelDialogTest = ChannelDialogSession;

TEST_F(ChannelDialogTest, OpensWithTitleHeaderAndOneRowPerChannel) {
    UseChannels(kThreeParameters);
    std::vector<Row> cells;
    user.Then(resources::kChannelDialog, [&](HeadlessWindow& w) {
        EXPECT_EQ(w.Title(), u"丹佛斯VLT5000变频器通道属性设置");
        cells = Cells(w);
        const platform::GridModel& grid = *w.Grid(id::kGrid);
        EXPECT_EQ(grid.RowHeightMin(), 350);
        const int32_t widths[] = {800, 1000, 1800, 3600, 1600};
        for (int32_t c = 0; c < 5; ++c) {
            EXPECT_EQ(grid.Column(c).width, widths[c]);
            EXPECT_EQ(grid.Column(c).alignment, 4);
            EXPECT_EQ(grid.Column(c).fixedAlignment, 4);
        }
        EXPECT_EQ(grid.Row(), 1);
        EXPECT_EQ(grid.Col(), 1);
        EXPECT_TRUE(grid.Redraw());
        w.Click(id::kAccept);
    });
    EXPECT_EQ(Run(), kIdOk);
    EXPECT_EQ(cells, (std::vector<Row>{
                         {u"序号", u"参数号", u"通道注释", u"数据类型", u"读写类型"},
                         {u"1", u"", u"当前频率", u"16位有符号整型", u"只读数据"},
                         {u"2", u"", u"状态字", u"16位有符号整型", u"只读数据"},
                         {u"3", u"", u"控制字", u"16位有符号整型", u"只写数据"},
                         {u"4", u"", u"期望值", u"16位有符号整型", u"只写数据"},
                         {u"5", u"10", u"速度", u"32位有符号整型", u"读写数据"},
                         {u"6", u"20", u"加速时间", u"32位有符号整型", u"只写数据"},
                         {u"7", u"30", u"型号", u"文本", u"只读数据"},
                     }));
}

TEST_F(ChannelDialogTest, WithOnlyTheFixedChannelsDeletingDoesNothingAndAsksNothing) {
    user.Then(resources::kChannelDialog, [&](HeadlessWindow& w) {
        EXPECT_EQ(w.Grid(id::kGrid)->Rows(), 5);
        w.ClickGridRow(id::kGrid, 4);
        w.Click(id::kDelete);
        w.Click(id::kDeleteAll);
        EXPECT_EQ(w.Grid(id::kGrid)->Rows(), 5);
        w.Click(id::kAccept);
    });
    Run();
    EXPECT_TRUE(user.Questions().empty());
    EXPECT_EQ(Names(Table()), (std::vector<std::u16string>{u"当前频率", u"状态字", u"控制字", u"期望值"}));
}

TEST_F(ChannelDialogTest, DeletingOnTheHeaderOrAFixedChannelDoesNothing) {
    UseChannels(kThreeParameters);
    user.Then(resources::kChannelDialog, [&](HeadlessWindow& w) {
        for (int32_t row = 0; row <= 4; ++row) {
            ASSERT_TRUE(w.ClickGridRow(id::kGrid, row));
            w.Click(id::kDelete);
            EXPECT_EQ(CurrentRow(w), row);
        }
        w.Click(id::kAccept);
    });
    Run();
    EXPECT_EQ(Table().GetCount(), 7);
}

TEST_F(ChannelDialogTest, DeletingTheRecordInRow7LeavesTheCursorOnRow6) {
    UseChannels(kThreeParameters);
    int32_t rowAfter = -1;
    std::vector<Row> cells;
    user.Then(resources::kChannelDialog, [&](HeadlessWindow& w) {
        w.ClickGridRow(id::kGrid, 7);
        w.Click(id::kDelete);
        rowAfter = CurrentRow(w);
        cells = Cells(w);
        w.Click(id::kAccept);
    });
    Run();
    EXPECT_EQ(rowAfter, 6);
    EXPECT_EQ(Names(Table()),
              (std::vector<std::u16string>{u"当前频率", u"状态字", u"控制字", u"期望值", u"速度", u"加速时间"}));
    ASSERT_EQ(cells.size(), 7u);
    EXPECT_EQ(cells[6], (Row{u"6", u"20", u"加速时间", u"32位有符号整型", u"只写数据"}));
}

TEST_F(ChannelDialogTest, DeleteAllAsksAndKeepsExactlyTheFixedChannelsOnOk) {
    UseChannels(kThreeParameters);
    int32_t rowsAfterCancel = 0;
    int32_t rowsAfterOk = 0;
    user.Then(resources::kChannelDialog, [&](HeadlessWindow& w) {
        w.Click(id::kDeleteAll);
        rowsAfterCancel = w.Grid(id::kGrid)->Rows();
        w.Click(id::kDeleteAll);
        rowsAfterOk = w.Grid(id::kGrid)->Rows();
        w.Click(id::kAccept);
    });
    user.Answer(kIdCancel).Answer(kIdOk);
    Run();
    EXPECT_EQ(rowsAfterCancel, 8);
    EXPECT_EQ(rowsAfterOk, 5);
    ASSERT_EQ(user.Questions().size(), 2u);
    EXPECT_EQ(user.Questions()[0].text, u"真的要删除所有通道吗？");
    EXPECT_EQ(user.Questions()[0].style, platform::kMbOkCancel | platform::kMbIconQuestion);
    EXPECT_EQ(MakeTable({}).GetCount(), Table().GetCount());
    EXPECT_EQ(Names(Table()), Names(MakeTable({})));
}

TEST_F(ChannelDialogTest, EndsWithOkOrCancelWhicheverButtonIsUsed) {
    struct Case {
        int32_t button;
        int32_t result;
    };
    for (const Case& c : {Case{id::kAccept, kIdOk}, Case{id::kDismiss, kIdCancel}, Case{kIdOk, kIdOk},
                          Case{kIdCancel, kIdCancel}}) {
        ChannelPropertyDialog dialog(state);
        user.Then(resources::kChannelDialog, [&](HeadlessWindow& w) {
            dialog.Command(id::kSpareButtonA);  // disabled on screen; the command does nothing either way
            dialog.Command(id::kSpareButtonB);
            EXPECT_FALSE(w.Ended());
            dialog.Command(c.button);
        });
        EXPECT_EQ(dialog.DoModal(), c.result) << "button " << c.button;
    }
    EXPECT_TRUE(user.Finished());
    EXPECT_EQ(Table().GetCount(), 4);
}

}  // namespace
}  // namespace korvan::testing
