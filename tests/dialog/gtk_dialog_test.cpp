// The built driver's dialogs on a real display (run under Xvfb): real windows,
// real widgets, acted on from the toolkit's main loop while the dialog runs.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/dialog/gtk_driving.h"
#include "tests/support/driver_fixture.h"
#include "tools/hostkit/config_blob.h"

namespace korvan::testing {
namespace {

namespace ui = gtk;

constexpr int32_t kChannelDialog = 101;
constexpr int32_t kAddDialog = 8003;

void Append(std::vector<uint8_t>& out, int32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// A channel record as the configuration archive holds it.
std::vector<uint8_t> StoredRecord(const hostkit::BlobChannel& c) {
    std::vector<uint8_t> bytes;
    for (int32_t value : {c.access, c.type, c.number, c.valueType, c.conversion}) Append(bytes, value);
    const std::string name = hostkit::ToGbk(c.name);
    Append(bytes, static_cast<int32_t>(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
    Append(bytes, c.retain);
    return bytes;
}

bool Holds(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

class GtkDialogTest : public DriverTest {
protected:
    std::vector<std::u16string> ChannelNames() {
        hostkit::StringArray names;
        hostkit::IntArray types;
        EXPECT_EQ(Svr().GetChannel(Device(), &names, &types), 1);
        return hostkit::Values(names.raw);
    }
};

TEST_F(GtkDialogTest, AChannelAddedWithRealWidgetsIsSavedOnOk) {
    ASSERT_EQ(ChannelNames().size(), 5u);
    ui::Picture picture;
    std::vector<std::vector<std::string>> lines;
    bool retainEnabledForText = true;
    ui::Steps steps;
    steps.WaitFor("the channel dialog", [] { return ui::IsOnScreen(ui::FindDialog(kChannelDialog)); })
        .Pause(10)
        .Do([&] { picture = ui::TakePicture(ui::FindDialog(kChannelDialog), ""); })
        .Do([] { ui::Click(ui::FindControl(kChannelDialog, 1002)); })  // runs the add dialog's loop
        .WaitFor("the add dialog", [] { return ui::IsOnScreen(ui::FindDialog(kAddDialog)); })
        .Do([&] {
            ui::Type(ui::FindControl(kAddDialog, 8004), " 321 ");
            ui::Type(ui::FindControl(kAddDialog, 8005), "出口温度");
            ui::Pick(ui::FindControl(kAddDialog, 8020), 3);
            ui::Click(ui::FindControl(kAddDialog, 8011));
            ui::Click(ui::FindControl(kAddDialog, 1011));
            ui::Pick(ui::FindControl(kAddDialog, 8021), 5);
            retainEnabledForText = gtk_widget_get_sensitive(ui::FindControl(kAddDialog, 1011));
            ui::Pick(ui::FindControl(kAddDialog, 8021), 1);
            ui::Click(ui::FindControl(kAddDialog, 1));
        })
        .WaitFor("the add dialog to close", [] { return ui::FindDialog(kAddDialog) == nullptr; })
        .Do([&] {
            lines = ui::GridLines(ui::FindControl(kChannelDialog, 8001));
            ui::Click(ui::FindControl(kChannelDialog, 5));
        });
    steps.Start();
    EXPECT_EQ(Svr().EditCustomProperty(Device()), 1);
    ASSERT_TRUE(steps.Finished());

    EXPECT_GT(picture.width, 500);
    EXPECT_GT(picture.colours, 16) << "the picture of the dialog is blank";
    EXPECT_FALSE(retainEnabledForText);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], (std::vector<std::string>{"5", "321", "出口温度", "32位有符号整型", "读写数据"}));
    EXPECT_TRUE(Holds(device_.ArchiveBytes(),
                      StoredRecord(hostkit::Parameter(321, 1, 3, u"出口温度", /*access*/ 2, /*retain*/ 1))));
}

TEST_F(GtkDialogTest, DeleteAllAskedInARealMessageBoxThenCancelSavesNothing) {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(100, 1, 3, u"甲"));
    content.channels.push_back(hostkit::Parameter(200, 1, 3, u"乙"));
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    ASSERT_EQ(ChannelNames().size(), 7u);
    const std::vector<uint8_t> before = device_.ArchiveBytes();
    std::string question;
    ui::Steps steps;
    steps.WaitFor("the channel dialog", [] { return ui::IsOnScreen(ui::FindDialog(kChannelDialog)); })
        .Do([] { ui::Click(ui::FindControl(kChannelDialog, 3)); })  // runs the message box's loop
        .WaitFor("the question", [] { return ui::IsOnScreen(GTK_WINDOW(ui::FindMessageBox())); })
        .Do([&] {
            question = ui::MessageText(ui::FindMessageBox());
            gtk_dialog_response(ui::FindMessageBox(), GTK_RESPONSE_OK);
        })
        .WaitFor("the question to go", [] { return ui::FindMessageBox() == nullptr; })
        .Do([] { ui::Click(ui::FindControl(kChannelDialog, 6)); });
    steps.Start();
    EXPECT_EQ(Svr().EditCustomProperty(Device()), 1);
    ASSERT_TRUE(steps.Finished());
    EXPECT_EQ(question, "真的要删除所有通道吗？");
    EXPECT_EQ(device_.ArchiveBytes(), before);
    EXPECT_EQ(ChannelNames().size(), 5u);  // the table in memory lost its parameter channels
}

}  // namespace
}  // namespace korvan::testing
