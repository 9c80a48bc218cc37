// The lock of an archive on Windows: NAME.lock beside it, open for this program alone
// and deleted by the system when the handle closes, however the program ends. It holds
// the holder's process number for the one that waits.
#include <chrono>
#include <thread>

#include "tools/korvan-host/archive/archive_lock.h"
#include "tools/korvan-host/windows_system.h"

namespace korvanhost {
namespace {

bool Taken(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED; }

// The process number the holder wrote into the lock file; 0 when it cannot be read.
DWORD Holder(const std::wstring& lockPath) {
    UniqueHandle file(CreateFileW(lockPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD pid = 0, got = 0;
    if (!file.Valid() || !ReadFile(file.Get(), &pid, sizeof pid, &got, nullptr) || got != sizeof pid) return 0;
    return pid;
}

}  // namespace

struct ArchiveLock::Held {
    UniqueHandle file;
};

ArchiveLock::ArchiveLock() : held_(std::make_unique<Held>()) {}
ArchiveLock::~ArchiveLock() = default;  // the handle closes, and the system deletes the lock file

std::unique_ptr<ArchiveLock> ArchiveLock::Take(const std::string& path, double seconds, std::string& error) {
    std::unique_ptr<ArchiveLock> lock(new ArchiveLock());
    if (GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES) return lock;  // nothing there yet
    const std::wstring lockPath = Wide(path + ".lock");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        UniqueHandle file(CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                      nullptr));
        if (file.Valid()) {
            const DWORD pid = GetCurrentProcessId();
            DWORD written = 0;
            WriteFile(file.Get(), &pid, sizeof pid, &written, nullptr);
            lock->held_->file = std::move(file);
            return lock;
        }
        if (!Taken(GetLastError())) return lock;  // a folder without room for it: the save will say
        if (std::chrono::steady_clock::now() >= deadline) {
            const DWORD holder = Holder(lockPath);
            error = "archive " + path + " in use by " +
                    (holder != 0 ? "process " + std::to_string(holder) : std::string("another program"));
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace korvanhost
