// korvan-screenshots.exe DRIVER OUTDIR: opens the built DLL's channel property
// dialog and its add-channel dialog on a desktop of its own (under Wine and Xvfb in
// `make screenshots`, where the desktop draws title bars) with an example
// configuration, and saves pictures of both, title bar included, as
// OUTDIR/windows-channel-dialog.png and OUTDIR/windows-add-channel-dialog.png.
// Fails when a picture comes out blank.
#include <cstdio>
#include <string>

#include "tests/dialog/screenshot_configuration.h"
#include "tests/windows/win_driving.h"
#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"

namespace {

namespace ui = korvan::testing::win;

constexpr int32_t kChannelDialog = 101;
constexpr int32_t kAddDialog = 8003;
constexpr int kLeastColours = 16;

bool Save(HWND window, const std::string& path) {
    const ui::Picture picture = ui::TakePicture(window, std::wstring(path.begin(), path.end()));
    std::printf("%s: %dx%d, %d colours\n", path.c_str(), picture.width, picture.height, picture.colours);
    return picture.colours >= kLeastColours;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvan-screenshots DRIVER OUTDIR\n");
        return 2;
    }
    if (!ui::OnOwnDesktop()) {
        std::fprintf(stderr, "no desktop to show the dialogs on\n");
        return 1;
    }
    hostkit::DriverLibrary driver(argv[1]);
    if (!driver.Loaded()) {
        std::fprintf(stderr, "%s\n", driver.Error().c_str());
        return 1;
    }
    const std::string outdir = argv[2];
    hostkit::HostDevice device;
    device.SetArchiveBytes(korvan::testing::ScreenshotConfiguration());
    hostkit::StringArray names;
    hostkit::IntArray types;
    driver.Svr().GetChannel(device.Instance(), &names, &types);

    bool saved = true;
    ui::Steps steps;
    steps.WaitFor("the channel dialog", [] { return ui::IsOnScreen(ui::FindDialog(kChannelDialog)); })
        .Pause(15)
        .Do([&] { saved = Save(ui::FindDialog(kChannelDialog), outdir + "/windows-channel-dialog.png") && saved; })
        .Do([] { ui::Click(ui::FindControl(kChannelDialog, 1002)); })
        .WaitFor("the add dialog", [] { return ui::IsOnScreen(ui::FindDialog(kAddDialog)); })
        .Do([] {
            ui::Type(ui::FindControl(kAddDialog, 8004), L"518");
            ui::Type(ui::FindControl(kAddDialog, 8005), L"输出频率");
            ui::Pick(ui::FindControl(kAddDialog, 8020), 4);
            ui::Pick(ui::FindControl(kAddDialog, 8021), 3);
        })
        .Pause(15)
        .Do([&] {
            saved = Save(ui::FindDialog(kAddDialog), outdir + "/windows-add-channel-dialog.png") && saved;
            ui::Click(ui::FindControl(kAddDialog, 2));
        })
        .WaitFor("the add dialog to close", [] { return ui::FindDialog(kAddDialog) == nullptr; })
        .Do([] { ui::Click(ui::FindControl(kChannelDialog, 6)); });
    steps.Start();
    driver.Svr().EditCustomProperty(device.Instance());
    driver.Svr().ExitDevRun(device.Instance());
    if (!steps.Finished()) std::fprintf(stderr, "the dialogs did not open\n");
    return steps.Finished() && saved ? 0 : 1;
}
