// The built DLL's dialogs as Windows shows them (under Wine, on a desktop of the
// test's own under Xvfb): the system's dialogs from the DLL's resources, the grid on
// the list view, the system's message box, all acted on with the messages a
// person's clicks and typing send, from a timer of the dialog's thread.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/driver_fixture.h"
#include "tests/windows/win_driving.h"
#include "tools/hostkit/config_blob.h"

namespace korvan::testing {
namespace {

constexpr int32_t kChannelDialog = 101;
constexpr int32_t kAddDialog = 8003;

class WindowsDialogTest : public DriverTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(win::OnOwnDesktop());
        DriverTest::SetUp();
    }

    std::vector<std::u16string> ChannelNames() {
        hostkit::StringArray names;
        hostkit::IntArray types;
        EXPECT_EQ(Svr().GetChannel(Device(), &names, &types), 1);
        return hostkit::Values(names.raw);
    }

    // Whether the archive holds `content` as the driver saves a configuration: from
    // its start (what follows the configuration is not the driver's to clear).
    bool Saved(const hostkit::BlobContent& content) {
        const std::vector<uint8_t> expected = hostkit::EncodeBlob(content);
        const std::vector<uint8_t> archive = device_.ArchiveBytes();
        return archive.size() >= expected.size() && std::equal(expected.begin(), expected.end(), archive.begin());
    }
};

// A window's text: a title, a label's or a field's content.
std::wstring Title(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

TEST_F(WindowsDialogTest, AChannelAddedWithRealControlsIsSavedOnOk) {
    ASSERT_EQ(ChannelNames().size(), 5u);
    win::Picture picture;
    std::wstring title;
    std::vector<std::vector<std::wstring>> lines;
    bool retainEnabledForText = true;
    bool retainEnabledForTextByKey = true;
    bool spareShown = true;
    std::wstring numberLabel;
    win::Steps steps;
    steps.WaitFor("the channel dialog", [] { return win::IsOnScreen(win::FindDialog(kChannelDialog)); })
        .Pause(5)
        .Do([&] {
            picture = win::TakePicture(win::FindDialog(kChannelDialog), L"");
            title = Title(win::FindDialog(kChannelDialog));
        })
        .Do([] { win::Click(win::FindControl(kChannelDialog, 1002)); })  // runs the add dialog's loop
        .WaitFor("the add dialog", [] { return win::IsOnScreen(win::FindDialog(kAddDialog)); })
        .Do([&] {
            numberLabel = Title(win::FindControl(kAddDialog, 1009));
            spareShown = IsWindowVisible(win::FindControl(kAddDialog, 8006)) != FALSE;
            win::Type(win::FindControl(kAddDialog, 8004), L" 321 ");
            win::Type(win::FindControl(kAddDialog, 8005), L"出口温度");
            win::Pick(win::FindControl(kAddDialog, 8020), 3);
            win::Click(win::FindControl(kAddDialog, 8011));
            win::Click(win::FindControl(kAddDialog, 1011));
            win::Pick(win::FindControl(kAddDialog, 8021), 5);
            retainEnabledForText = IsWindowEnabled(win::FindControl(kAddDialog, 1011)) != FALSE;
            win::Pick(win::FindControl(kAddDialog, 8021), 1);
            win::Key(win::FindControl(kAddDialog, 8021), VK_END);  // 文本 on the closed list: no list closes
            retainEnabledForTextByKey = IsWindowEnabled(win::FindControl(kAddDialog, 1011)) != FALSE;
            win::Pick(win::FindControl(kAddDialog, 8021), 1);
            win::Click(win::FindControl(kAddDialog, 1));
        })
        .WaitFor("the add dialog to close", [] { return win::FindDialog(kAddDialog) == nullptr; })
        .Do([&] {
            lines = win::GridLines(win::FindControl(kChannelDialog, 8001));
            win::Click(win::FindControl(kChannelDialog, 5));
        });
    steps.Start();
    EXPECT_EQ(Svr().EditCustomProperty(Device()), 1);
    ASSERT_TRUE(steps.Finished());

    EXPECT_EQ(title, L"丹佛斯VLT5000变频器通道属性设置");
    EXPECT_GT(picture.width, 500);
    EXPECT_GT(picture.colours, 16) << "the picture of the dialog is blank";
    EXPECT_EQ(numberLabel, L"参数号:");
    EXPECT_FALSE(spareShown);
    EXPECT_FALSE(retainEnabledForText);
    EXPECT_FALSE(retainEnabledForTextByKey);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], (std::vector<std::wstring>{L"5", L"321", L"出口温度", L"32位有符号整型", L"读写数据"}));
    hostkit::BlobContent expected;
    expected.channels = hostkit::FixedChannels();
    expected.channels.push_back(hostkit::Parameter(321, 1, 3, u"出口温度", /*access*/ 2, /*retain*/ 1));
    EXPECT_TRUE(Saved(expected));
}

TEST_F(WindowsDialogTest, APickedLineIsDeletedAndDeleteAllAskedInTheSystemsBoxKeepsTheFixedChannels) {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(100, 1, 3, u"甲"));
    content.channels.push_back(hostkit::Parameter(200, 1, 3, u"乙"));
    content.channels.push_back(hostkit::Parameter(300, 1, 3, u"丙"));
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    ASSERT_EQ(ChannelNames().size(), 8u);
    std::vector<std::wstring> namesAfterDelete;
    std::wstring question;
    std::wstring boxTitle;
    bool offersCancel = false;
    win::Steps steps;
    steps.WaitFor("the channel dialog", [] { return win::IsOnScreen(win::FindDialog(kChannelDialog)); })
        .Do([&] {
            win::PickLine(win::FindControl(kChannelDialog, 8001), 5);  // 乙, below the four fixed and 甲
            win::Click(win::FindControl(kChannelDialog, 1001));
            for (const auto& line : win::GridLines(win::FindControl(kChannelDialog, 8001))) {
                namesAfterDelete.push_back(line.at(2));
            }
            win::Click(win::FindControl(kChannelDialog, 3));  // runs the message box's loop
        })
        .WaitFor("the question", [] { return win::IsOnScreen(win::FindMessageBox()); })
        .Do([&] {
            HWND box = win::FindMessageBox();
            question = win::MessageText(box);
            boxTitle = Title(box);
            offersCancel = GetDlgItem(box, IDCANCEL) != nullptr;
            win::Click(GetDlgItem(box, IDOK));
        })
        .WaitFor("the question to go", [] { return win::FindMessageBox() == nullptr; })
        .Do([] { win::Click(win::FindControl(kChannelDialog, 5)); });
    steps.Start();
    EXPECT_EQ(Svr().EditCustomProperty(Device()), 1);
    ASSERT_TRUE(steps.Finished());

    EXPECT_EQ(namesAfterDelete, (std::vector<std::wstring>{L"当前频率", L"状态字", L"控制字", L"期望值", L"甲", L"丙"}));
    EXPECT_EQ(question, L"真的要删除所有通道吗？");
    EXPECT_EQ(boxTitle, L"丹佛斯VLT5000变频器通道属性设置");
    EXPECT_TRUE(offersCancel);
    hostkit::BlobContent fixedOnly;
    fixedOnly.channels = hostkit::FixedChannels();
    EXPECT_TRUE(Saved(fixedOnly));
    EXPECT_EQ(ChannelNames().size(), 5u);
}

// The host's window, shown but not active on the calling thread: the dialog is owned by
// it and disables it while it runs, so the device cannot be stopped behind it.
TEST_F(WindowsDialogTest, WithNoActiveWindowTheDialogIsOwnedByTheHostsWindow) {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    ASSERT_EQ(GetActiveWindow(), nullptr);
    HWND owner = nullptr;
    bool hostEnabled = true;
    win::Steps steps;
    steps.WaitFor("the channel dialog", [] { return win::IsOnScreen(win::FindDialog(kChannelDialog)); })
        .Do([&] {
            owner = GetWindow(win::FindDialog(kChannelDialog), GW_OWNER);
            hostEnabled = IsWindowEnabled(host) != FALSE;
            win::Click(win::FindControl(kChannelDialog, 6));
        });
    steps.Start();
    EXPECT_EQ(Svr().EditCustomProperty(Device()), 1);
    ASSERT_TRUE(steps.Finished());
    EXPECT_EQ(owner, host);
    EXPECT_FALSE(hostEnabled);
    EXPECT_TRUE(IsWindowEnabled(host));
    DestroyWindow(host);
}

// Counts the windows this thread tries to make, and stops each from being made.
int windowsTried = 0;
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        ++windowsTried;
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Visible(HWINSTA station) {
    USEROBJECTFLAGS flags{};
    return GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

// A host running as a service: its window station is not the one the user sees, and a
// dialog there would wait for ever. None is made, which counts as Cancel.
TEST_F(WindowsDialogTest, NoWindowIsMadeOnAWindowStationNoOneSees) {
    const HWINSTA seen = GetProcessWindowStation();
    ASSERT_TRUE(Visible(seen));
    const HWINSTA service = CreateWindowStationW(L"KorvanService", 0, WINSTA_ALL_ACCESS, nullptr);
    ASSERT_NE(service, nullptr);
    ASSERT_FALSE(Visible(service));
    ASSERT_EQ(Svr().InitDevSet(Device()), 1);  // the default configuration, saved
    const std::vector<uint8_t> before = device_.ArchiveBytes();
    ASSERT_TRUE(SetProcessWindowStation(service));
    windowsTried = 0;
    HHOOK hook = SetWindowsHookExW(WH_CBT, &RefuseWindows, nullptr, GetCurrentThreadId());
    const int32_t result = Svr().EditCustomProperty(Device());
    UnhookWindowsHookEx(hook);
    SetProcessWindowStation(seen);
    CloseWindowStation(service);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(windowsTried, 0);
    EXPECT_EQ(device_.ArchiveBytes(), before);
}

}  // namespace
}  // namespace korvan::testing
