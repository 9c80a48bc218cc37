// The dialog framework under the channel dialogs: the grid control's automation
// interface, data exchange with lists and radio groups, and dialogs that cannot open.
#include <gtest/gtest.h>

#include <array>

#include "platform/automation/automation_driver.h"
#include "platform/dialogs/dialog_data_exchange.h"
#include "platform/dialogs/dialog_list.h"
#include "platform/dialogs/headless/dialog_none.h"
#include "platform/dialogs/grid_control.h"
#include "tests/dialog/channel_dialog_session.h"

namespace korvan::testing {
namespace {

using platform::kIdCancel;
using platform::kIdOk;

constexpr int32_t kRows = 0x6803002F;
constexpr int32_t kRow = 0x6803002D;
constexpr int32_t kText = 0x68030009;
constexpr int32_t kColWidth = 0x68030003;
constexpr int32_t kRedraw = 0x68030011;
constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80020005);
constexpr int32_t kMemberNotFound = static_cast<int32_t>(0x80020003);
constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);

class CountingListener final : public platform::GridListener {
public:
    void GridContentChanged() override { ++content; }
    void GridCursorMoved() override { ++cursor; }
    int content = 0;
    int cursor = 0;
};

TEST(GridControl, AnswersPropertyCallsByDispatchIdentifier) {
    platform::GridControl grid;
    platform::AutomationDriver driver;
    driver.AttachDispatch(grid.Interface(), false);
    EXPECT_EQ(driver.SetProperty(kRows, platform::kParamInteger, 3), 0);
    EXPECT_EQ(driver.GetIntegerProperty(kRows), 3);
    EXPECT_EQ(driver.SetProperty(kRow, platform::kParamInteger, 2), 0);
    EXPECT_EQ(driver.SetProperty(kText, platform::kParamText, std::u16string_view(u"读写数据")), 0);
    EXPECT_EQ(grid.Model().Cell(2, 0), u"读写数据");
    const std::array<platform::Argument, 2> widthOfColumn1 = {1, 1800};
    EXPECT_EQ(driver.InvokeHelper(kColWidth, DISPATCH_PROPERTYPUT, nullptr, "\x03\x03", widthOfColumn1), 0);
    EXPECT_EQ(grid.Model().Column(1).width, 1800);

    // Refused calls change nothing.
    EXPECT_EQ(driver.SetProperty(kRow, platform::kParamInteger, 3), kInvalidArgument);
    EXPECT_EQ(driver.GetIntegerProperty(kRow), 2);
    EXPECT_EQ(driver.SetProperty(kRows, platform::kParamText, std::u16string_view(u"3")), kTypeMismatch);
    EXPECT_EQ(driver.SetProperty(0x68030099, platform::kParamInteger, 1), kMemberNotFound);
    EXPECT_EQ(driver.GetIntegerProperty(kText, -7), -7);  // the text can only be put
    const std::array<platform::Argument, 2> widthOfColumn5 = {5, 100};
    EXPECT_EQ(driver.InvokeHelper(kColWidth, DISPATCH_PROPERTYPUT, nullptr, "\x03\x03", widthOfColumn5),
              kInvalidArgument);
    // Shrinking keeps the cursor on the last row.
    EXPECT_EQ(driver.SetProperty(kRows, platform::kParamInteger, 2), 0);
    EXPECT_EQ(driver.GetIntegerProperty(kRow), 1);
}

TEST(GridControl, RedrawOffHoldsBackTheViewUntilSwitchedOn) {
    platform::GridControl grid;
    CountingListener view;
    grid.Model().SetListener(&view);
    platform::AutomationDriver driver;
    driver.AttachDispatch(grid.Interface(), false);
    driver.SetProperty(kRedraw, platform::kParamBoolean, false);
    driver.SetProperty(kRows, platform::kParamInteger, 9);
    driver.SetProperty(kRow, platform::kParamInteger, 8);
    driver.SetProperty(kText, platform::kParamText, std::u16string_view(u"x"));
    EXPECT_EQ(view.content + view.cursor, 0);
    driver.SetProperty(kRedraw, platform::kParamBoolean, true);
    EXPECT_EQ(view.content, 1);
    EXPECT_EQ(view.cursor, 1);
    driver.SetProperty(kRow, platform::kParamInteger, 3);
    EXPECT_EQ(view.cursor, 2);
}

// A dialog on the add-channel template that exchanges only what the test asks.
class ProbeDialog : public platform::Dialog {
public:
    ProbeDialog() : Dialog(resources::kAddChannelDialog) {}
    std::function<void()> onOpen;

protected:
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        onOpen();
        return true;
    }
};

using DialogFramework = ChannelDialogSession;

TEST_F(DialogFramework, ListsKeepTheirPositionRules) {
    ProbeDialog probe;
    platform::DropDownList list(probe, id::kTypeList);
    probe.onOpen = [&] {
        EXPECT_EQ(list.InsertString(0, u"b"), 0);
        EXPECT_EQ(list.InsertString(0, u"a"), 0);
        EXPECT_EQ(list.InsertString(-1, u"c"), 2);
        EXPECT_EQ(list.InsertString(4, u"x"), platform::kListError);
        EXPECT_EQ(list.SetCurSel(2), 2);
        EXPECT_EQ(list.SetCurSel(3), platform::kListError);
        EXPECT_EQ(list.GetCurSel(), -1);  // a failed selection clears it
    };
    user.Then(resources::kAddChannelDialog, [](HeadlessWindow& w) {
        EXPECT_EQ(w.Items(id::kTypeList), (std::vector<std::u16string>{u"a", u"b", u"c"}));
        w.Click(kIdCancel);
    });
    EXPECT_EQ(probe.DoModal(), kIdCancel);
    EXPECT_EQ(list.GetCount(), platform::kListError);  // no window any more
}

TEST_F(DialogFramework, RadioGroupsRunToTheNextGroupStart) {
    ProbeDialog probe;
    std::vector<int32_t> indexes;
    probe.onOpen = [&] {
        int32_t index = 2;
        platform::DataExchange(probe.Window(), probe.Template(), false).Radio(id::kAccessType, index);
    };
    user.Then(resources::kAddChannelDialog, [&](HeadlessWindow& w) {
        const auto read = [&] {
            int32_t index = -5;
            platform::DataExchange(w, probe.Template(), true).Radio(id::kAccessType, index);
            indexes.push_back(index);
        };
        read();
        w.Click(id::kAccessType + 1);
        read();
        w.Click(id::kRetain);  // a check box of the next group leaves the radio buttons alone
        read();
        w.SetCheck(id::kAccessType + 1, 0);
        read();
        w.Click(kIdCancel);
    });
    probe.DoModal();
    EXPECT_EQ(indexes, (std::vector<int32_t>{2, 1, 1, -1}));
    const platform::DialogTemplate* add = platform::FindDialogTemplate(nullptr, resources::kAddChannelDialog);
    EXPECT_EQ(add->RadioGroup(id::kAccessType + 2), (std::vector<int32_t>{8009, 8010, 8011}));
    EXPECT_TRUE(add->RadioGroup(id::kRetain).empty());
}

TEST_F(DialogFramework, ADialogThatCannotOpenIsNotOk) {
    platform::Dialog missing(4242);
    EXPECT_EQ(missing.DoModal(), platform::kDialogFailed);

    platform::NoDialogBackend none;
    platform::ScopedDialogBackend noDisplay(none);
    ChannelPropertyDialog dialog(state);
    EXPECT_EQ(dialog.DoModal(), platform::kDialogFailed);
    EXPECT_EQ(none.ShowMessageBox(nullptr, u"?", u"", platform::kMbOkCancel), 0);
}

}  // namespace
}  // namespace korvan::testing
