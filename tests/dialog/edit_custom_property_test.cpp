// SvrEditCustomProperty with the headless backend: this test program carries the
// entry points itself, so the dialog runs in it as it does in the driver module.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "driver/process_objects.h"
#include "korvan/host_abi.h"
#include "platform/dialogs/dialog_resource_module.h"
#include "tests/dialog/channel_dialog_session.h"
#include "tests/support/child_process.h"
#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"

namespace korvan::testing {
namespace {

using platform::kIdCancel;
using platform::kIdOk;

class EditCustomPropertyTest : public ::testing::Test {
protected:
    void TearDown() override { SvrExitDevRun(device_.Instance()); }

    std::vector<std::u16string> ChannelNames() {
        hostkit::StringArray names;
        hostkit::IntArray types;
        EXPECT_EQ(SvrGetChannel(device_.Instance(), &names, &types), 1);
        return hostkit::Values(names.raw);
    }
    // Opens the dialog, adds one channel and leaves with `button`.
    void AddThenLeaveWith(int32_t button) {
        user_.Then(resources::kChannelDialog, [button](HeadlessWindow& w) {
                 w.Click(id::kAdd);
                 w.Click(button);
             })
            .Then(resources::kAddChannelDialog, Fill({.number = u"204", .name = u"新通道", .type = kSigned32}));
        EXPECT_EQ(SvrEditCustomProperty(device_.Instance()), 1);
        EXPECT_TRUE(user_.Finished());
    }

    hostkit::HostDevice device_;
    ScriptedUser user_;
    const std::vector<std::u16string> fixed_ = {u"通讯状态", u"当前频率", u"状态字", u"控制字", u"期望值"};

private:
    platform::HeadlessBackend backend_{user_};
    platform::ScopedDialogBackend installed_{backend_};
};

TEST_F(EditCustomPropertyTest, OkSavesTheChangedTable) {
    AddThenLeaveWith(id::kAccept);
    const std::vector<uint8_t> saved = device_.ArchiveBytes();
    SvrExitDevRun(device_.Instance());
    device_.SetArchiveBytes(saved);
    std::vector<std::u16string> expected = fixed_;
    expected.push_back(u"新通道");
    EXPECT_EQ(ChannelNames(), expected);
}

TEST_F(EditCustomPropertyTest, CancelSavesNothingButTheChangeStaysInMemory) {
    ASSERT_EQ(ChannelNames(), fixed_);  // loads and saves the defaults
    const std::vector<uint8_t> before = device_.ArchiveBytes();
    AddThenLeaveWith(id::kDismiss);
    EXPECT_EQ(device_.ArchiveBytes(), before);
    EXPECT_EQ(ChannelNames().back(), u"新通道");
    SvrExitDevRun(device_.Instance());
    EXPECT_EQ(ChannelNames(), fixed_);
}

TEST_F(EditCustomPropertyTest, TheDriverModuleIsTheResourceModuleOnlyWhileTheDialogRuns) {
    // A module without our templates: nothing can open while it is the resource module.
    const platform::ModuleHandle foreign = platform::ModuleContaining(reinterpret_cast<const void*>(&std::free));
    const platform::ModuleHandle own = platform::ModuleContaining(platform::LinkedDialogTemplates().data());
    ASSERT_NE(foreign, own);
    ASSERT_EQ(ChannelNames(), fixed_);
    platform::SetResourceModule(foreign);
    const std::vector<uint8_t> before = device_.ArchiveBytes();
    EXPECT_EQ(SvrEditCustomProperty(device_.Instance()), 1);  // no dialog, nothing saved
    EXPECT_EQ(device_.ArchiveBytes(), before);

    ModuleHandle() = own;
    AddThenLeaveWith(id::kAccept);
    EXPECT_EQ(platform::ResourceModule(), foreign);
    ModuleHandle() = nullptr;
    platform::SetResourceModule(nullptr);
}

// korvan-host's add and remove change an archive as this dialog does, byte for byte.
TEST_F(EditCustomPropertyTest, KorvanHostEditsTheTableAsTheDialogDoes) {
    char folder[] = "/tmp/korvan-edit-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string archive = std::string(folder) + "/device.archive";
    const auto host = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {KORVAN_HOST_PROGRAM, "--driver", KORVAN_BUILT_DRIVER, "--archive", archive});
        if (const std::string emulator = KORVAN_EMULATOR; !emulator.empty()) arguments.insert(arguments.begin(), emulator);
        return RunProgram(arguments).status;
    };
    const auto hostBytes = [&] {
        std::ifstream in(archive, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        return bytes.size() < 20 ? bytes : std::vector<uint8_t>(bytes.begin() + 20, bytes.end());  // past the header
    };
    const auto dialogBytes = [&] {
        std::vector<uint8_t> bytes = device_.ArchiveBytes();
        bytes.resize(static_cast<std::size_t>(device_.Archive().position));
        return bytes;
    };
    ASSERT_EQ(ChannelNames(), fixed_);  // the driver's defaults, as init stores them
    ASSERT_EQ(host({"init"}), 0);
    ASSERT_EQ(host({"add", "520"}), 0);
    ASSERT_EQ(host({"add", "207", "name=加速时间", "access=ro"}), 0);  // sorts before 520 by key
    user_.Then(resources::kChannelDialog, [](HeadlessWindow& w) {
             w.Click(id::kAdd);
             w.Click(id::kAdd);
             w.Click(id::kAccept);
         })
        .Then(resources::kAddChannelDialog,
              Fill({.number = u"520", .name = u"Motor current", .type = kUnsigned32, .conversion = 5}))
        .Then(resources::kAddChannelDialog, Fill({.number = u" 207", .name = u"加速时间 ", .type = kUnsigned32,
                                                  .conversion = 5}));
    EXPECT_EQ(SvrEditCustomProperty(device_.Instance()), 1);
    EXPECT_EQ(hostBytes(), dialogBytes());

    ASSERT_EQ(host({"remove", "520"}), 0);
    user_.Then(resources::kChannelDialog, [](HeadlessWindow& w) {
        EXPECT_TRUE(w.ClickGridRow(id::kGrid, 6));  // the second parameter channel: 520
        w.Click(id::kDelete);
        w.Click(id::kAccept);
    });
    EXPECT_EQ(SvrEditCustomProperty(device_.Instance()), 1);
    EXPECT_EQ(hostBytes(), dialogBytes());
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korvan::testing
