// One program at a time changes an archive: a lock held for the whole read, change and
// save, which a second program waits for a moment and then reports with the process
// that holds it. On Linux it is the archive file's own lock (flock), retaken on the new
// file when a save has replaced the one it was taken on (archive_lock_posix.cpp); on
// Windows a lock file beside the archive that the system deletes when its holder ends
// (archive_lock_win.cpp). Nothing is left behind either way.
#pragma once

#include <memory>
#include <string>

namespace korvanhost {

class ArchiveLock {
public:
    // Takes the lock of the archive at `path`, waiting up to `seconds`; nullptr with a
    // one-line message when another program holds it that long. A path with no file
    // yet gives a lock that guards nothing (init makes such files atomically).
    static std::unique_ptr<ArchiveLock> Take(const std::string& path, double seconds, std::string& error);
    ~ArchiveLock();
    ArchiveLock(const ArchiveLock&) = delete;
    ArchiveLock& operator=(const ArchiveLock&) = delete;

private:
    ArchiveLock();
    struct Held;
    std::unique_ptr<Held> held_;
};

}  // namespace korvanhost
