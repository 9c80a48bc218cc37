// korvan-host's archive saves on Windows while another program (an antivirus, a sync
// client) holds the archive a moment: the save waits for it instead of failing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tools/korvan-host/archive/archive_file.h"

namespace korvanhost {
namespace {

TEST(HeldArchive, ASaveWaitsWhileAnotherProgramHoldsTheFile) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring wide = std::wstring(folder) + L"korvan-held-" + std::to_wstring(GetCurrentProcessId()) + L".archive";
    const std::string path(wide.begin(), wide.end());
    std::string error;
    ASSERT_TRUE(CreateArchiveFile(path, {1, 2, 3}, error)) << error;

    HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // shared with no one
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE noticed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OnFileHeld([noticed](const std::string&) { SetEvent(noticed); });
    std::thread holder([&] {
        WaitForSingleObject(noticed, INFINITE);  // the save has met the file held: let go of it
        CloseHandle(held);
    });
    const bool saved = WriteArchiveFile(path, {4, 5, 6}, error);
    SetEvent(noticed);  // a save that never waited lets the holder go all the same
    holder.join();
    OnFileHeld(nullptr);
    CloseHandle(noticed);

    EXPECT_TRUE(saved) << error;
    const auto archive = ReadArchiveFile(path, error);
    ASSERT_TRUE(archive.has_value()) << error;
    EXPECT_EQ(archive->configuration, (std::vector<uint8_t>{4, 5, 6}));
    DeleteFileW(wide.c_str());
    DeleteFileW((wide + L".bak").c_str());
}

}  // namespace
}  // namespace korvanhost
