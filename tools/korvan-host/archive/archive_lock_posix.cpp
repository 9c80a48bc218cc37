// The lock of an archive on Linux: flock on the file itself. A save renames a new file
// over the old one, so a lock taken on a file that is no longer the archive's is let go
// and taken again on the file now there. /proc/locks tells who holds it.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tools/korvan-host/archive/archive_lock.h"
#include "tools/korvan-sim/serial_port.h"

namespace korvanhost {
namespace {

// The process holding an flock on the file `file` is open on, from /proc/locks; 0
// when it cannot be told.
long Holder(int file) {
    struct stat status {};
    if (fstat(file, &status) != 0) return 0;
    char device[64];
    std::snprintf(device, sizeof device, "%02x:%02x:%llu", major(status.st_dev), minor(status.st_dev),
                  static_cast<unsigned long long>(status.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, advisory, access, inode;
        long pid = 0;
        if (fields >> number >> kind >> advisory >> access >> pid >> inode && kind == "FLOCK" && inode == device &&
            pid != getpid()) {
            return pid;
        }
    }
    return 0;
}

bool SameFile(int file, const std::string& path) {
    struct stat held {}, named {};
    return fstat(file, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

}  // namespace

struct ArchiveLock::Held {
    korvansim::UniqueFd file;
};

ArchiveLock::ArchiveLock() : held_(std::make_unique<Held>()) {}
ArchiveLock::~ArchiveLock() = default;  // closing the file lets the lock go

std::unique_ptr<ArchiveLock> ArchiveLock::Take(const std::string& path, double seconds, std::string& error) {
    std::unique_ptr<ArchiveLock> lock(new ArchiveLock());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        korvansim::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!file.Valid()) return lock;  // nothing there yet, or nothing readable: opening it will say
        if (flock(file.Get(), LOCK_EX | LOCK_NB) == 0) {
            if (SameFile(file.Get(), path)) {
                lock->held_->file = std::move(file);
                return lock;
            }
            continue;  // a save replaced the file meanwhile: take the new one's
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return lock;  // a file system without locks
        if (std::chrono::steady_clock::now() >= deadline) {
            const long holder = Holder(file.Get());
            error = "archive " + path + " in use by " +
                    (holder > 0 ? "process " + std::to_string(holder) : std::string("another program"));
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace korvanhost
