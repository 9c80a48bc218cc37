// Archive files on a POSIX system: mkstemp, fsync, a hard link for the .bak and
// rename, keeping the replaced file's mode, owner and group.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/korvan-host/archive_file.h"

namespace korvanhost {
namespace {

constexpr std::size_t kLargestArchive = 64 * 1024 * 1024;

std::string Why(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename or link reaches the disk with its folder.
void SyncFolderOf(const std::string& path) {
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    fsync(folder);
    ::close(folder);
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// A new file's mode: 0644 less the umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0644 & ~mask;
}

// A temporary file beside `destination` holding `bytes` with `mode` (and the owner
// and group of `owner`, when given), flushed to disk: its path, or empty.
std::string WriteTemporary(const std::string& destination, const std::vector<uint8_t>& bytes, mode_t mode,
                           const struct stat* owner, std::string& error) {
    std::string temporary = destination + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = Why("cannot create a temporary file beside", destination);
        return {};
    }
    bool done = WriteAll(fd, bytes) && fchmod(fd, mode) == 0;
    if (!done) error = Why("cannot save", destination);
    struct stat made {};
    if (done && owner != nullptr && fstat(fd, &made) == 0 &&
        (made.st_uid != owner->st_uid || made.st_gid != owner->st_gid) &&
        fchown(fd, owner->st_uid, owner->st_gid) != 0) {
        error = Why("cannot keep the owner and group of", destination);
        done = false;
    }
    if (done && fsync(fd) != 0) error = Why("cannot save", destination), done = false;
    if (::close(fd) != 0 && done) error = Why("cannot save", destination), done = false;
    if (!done) {
        ::unlink(temporary.c_str());
        return {};
    }
    return temporary;
}

bool LinksUnsupported(int error) {
    return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP ||
           error == ENOSYS;
}

// Keeps `target` as target.bak: the same file under a second name where the file
// system allows it, a copy where not. The older target.bak is replaced only once the
// new one is whole, so a failure here keeps it.
bool KeepBackup(const std::string& target, const struct stat& old, std::string& error) {
    const std::string backup = target + ".bak";
    const std::string fresh = backup + ".new";
    ::unlink(fresh.c_str());  // left by a run that was killed here
    if (::link(target.c_str(), fresh.c_str()) == 0) {
        if (std::rename(fresh.c_str(), backup.c_str()) == 0) return true;
        error = Why("cannot keep the previous file as", backup);
        ::unlink(fresh.c_str());
        return false;
    }
    if (!LinksUnsupported(errno)) {
        error = Why("cannot keep the previous file as", backup);
        return false;
    }
    const auto bytes = ReadWholeFile(target, error);
    if (!bytes) return false;
    const std::string temporary = WriteTemporary(backup, *bytes, old.st_mode & 07777, nullptr, error);
    if (temporary.empty()) return false;
    if (std::rename(temporary.c_str(), backup.c_str()) != 0) {
        error = Why("cannot keep the previous file as", backup);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::string& error, bool* missing) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (missing != nullptr && errno == ENOENT) {
            *missing = true;
            return std::nullopt;
        }
        error = Why("cannot read archive", path);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || bytes.size() > kLargestArchive) {
            error = got < 0 ? Why("cannot read archive", path) : "archive " + path + " is larger than 64 MB";
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    return bytes;
}

bool SomethingAt(const std::string& path) {
    struct stat existing {};
    return ::lstat(path.c_str(), &existing) == 0;
}

bool WriteArchiveFile(const std::string& path, const std::vector<uint8_t>& configuration, std::string& error) {
    std::string target = path;  // through a symlink, the file it names
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        target = resolved;
    } else if (errno != ENOENT) {
        error = Why("cannot save archive", path);
        return false;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        error = Why("cannot save archive", path);
        return false;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        error = "cannot save archive " + path + ": not a regular file";
        return false;
    }
    // A save replaces the file, which needs only the folder writable: a file made
    // read-only stays as it is.
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        error = Why("cannot save archive", path);
        return false;
    }
    const std::string temporary = WriteTemporary(target, FormatArchive(configuration),
                                                 exists ? old.st_mode & 07777 : NewFileMode(), exists ? &old : nullptr,
                                                 error);
    if (temporary.empty()) return false;
    if (exists && !KeepBackup(target, old, error)) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = Why("cannot save archive", path);
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(target);
    return true;
}

bool CreateArchiveFile(const std::string& path, const std::vector<uint8_t>& configuration, std::string& error) {
    if (SomethingAt(path)) {
        error = path + " already exists";
        return false;
    }
    const std::string temporary = WriteTemporary(path, FormatArchive(configuration), NewFileMode(), nullptr, error);
    if (temporary.empty()) return false;
    // A second name for the finished file, which no file made meanwhile can lose.
    bool made = ::link(temporary.c_str(), path.c_str()) == 0;
    if (!made && LinksUnsupported(errno) && !SomethingAt(path)) {
        made = std::rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!made) error = errno == EEXIST ? path + " already exists" : Why("cannot create archive", path);
    ::unlink(temporary.c_str());
    if (made) SyncFolderOf(path);
    return made;
}

void OnFileHeld(std::function<void(const std::string&)>) {}  // a POSIX system holds no file so

}  // namespace korvanhost
