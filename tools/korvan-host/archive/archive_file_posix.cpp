// Archive files on a POSIX system: a new file written unnamed (or under one hidden
// name) and flushed, a hard link for the .bak, and rename, keeping the replaced file's
// mode, owner and group.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/korvan-host/archive/archive_file.h"
#include "tools/korvan-sim/serial_port.h"

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

// A new file's contents, flushed to disk before it takes its name. Where the file
// system allows it (O_TMPFILE) it has no name at all until it is whole; elsewhere it
// is written under one fixed hidden name beside its destination, which the next save
// there removes first. A save killed at any point leaves no file of its own behind
// but, for a moment between two steps, that one name.
class NewFile {
public:
    // `bytes` with `mode` (and the owner and group of `owner`, when given) beside
    // `destination`; Ready() false, with `error` saying why, when it cannot be made.
    NewFile(const std::string& destination, const std::vector<uint8_t>& bytes, mode_t mode, const struct stat* owner,
            std::string& error);
    ~NewFile() {
        if (!hidden_.empty() && !placed_) ::unlink(hidden_.c_str());
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool Ready() const { return ready_; }
    // Puts the file in place of whatever is at `name` (replace), or at `name` only where
    // nothing is (false with EEXIST otherwise).
    bool PlaceAt(const std::string& name, bool replace);

private:
    bool Open(const std::string& destination, mode_t mode);
    bool Fill(const std::vector<uint8_t>& bytes, mode_t mode, const struct stat* owner);

    std::string hidden_;  // the fixed hidden name, when the file has one
    korvansim::UniqueFd fd_;
    bool unnamed_ = false;
    bool ready_ = false;
    bool placed_ = false;
};

// ".NAME.korvan-new" beside NAME.
std::string HiddenNameFor(const std::string& destination) {
    const std::size_t slash = destination.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return destination.substr(0, start) + "." + destination.substr(start) + ".korvan-new";
}

bool NewFile::Open(const std::string& destination, mode_t mode) {
    hidden_ = HiddenNameFor(destination);
    ::unlink(hidden_.c_str());  // left by a save that was killed
#ifdef O_TMPFILE
    // It takes its name through /proc/self/fd, so it is made unnamed only where that is there.
    if (::access("/proc/self/fd", X_OK) == 0)
        fd_ = korvansim::UniqueFd(::open(FolderOf(destination).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd_.Valid()) {
        unnamed_ = true;
        return true;
    }
#endif
    fd_ = korvansim::UniqueFd(::open(hidden_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
    return fd_.Valid();
}

bool NewFile::Fill(const std::vector<uint8_t>& bytes, mode_t mode, const struct stat* owner) {
    if (!WriteAll(fd_.Get(), bytes) || fchmod(fd_.Get(), mode) != 0) return false;
    struct stat made {};
    if (owner != nullptr && fstat(fd_.Get(), &made) == 0 && (made.st_uid != owner->st_uid || made.st_gid != owner->st_gid) &&
        fchown(fd_.Get(), owner->st_uid, owner->st_gid) != 0) {
        return false;
    }
    return fsync(fd_.Get()) == 0;
}

NewFile::NewFile(const std::string& destination, const std::vector<uint8_t>& bytes, mode_t mode,
                 const struct stat* owner, std::string& error) {
    if (!Open(destination, mode)) {
        struct stat folder {};
        error = ::stat(FolderOf(destination).c_str(), &folder) != 0
                    ? "cannot save " + destination + ": the folder " + FolderOf(destination) + " does not exist"
                    : Why("cannot create a new file beside", destination);
        return;
    }
    ready_ = Fill(bytes, mode, owner);
    if (!ready_) error = Why("cannot save", destination);
}

bool NewFile::PlaceAt(const std::string& name, bool replace) {
    if (unnamed_) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
        const std::string& linkName = replace ? hidden_ : name;
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, linkName.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
        if (!replace) return placed_ = true;
    }
    if (replace) {
        placed_ = std::rename(hidden_.c_str(), name.c_str()) == 0;
        return placed_;
    }
    // A second name for the finished file, which no file made meanwhile can lose.
    if (::link(hidden_.c_str(), name.c_str()) == 0) return true;  // the hidden name goes with the object
    const int failed = errno;
    if (failed == EEXIST || SomethingAt(name)) {
        errno = EEXIST;
        return false;
    }
    placed_ = std::rename(hidden_.c_str(), name.c_str()) == 0;
    errno = placed_ ? 0 : failed;
    return placed_;
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
        // Where target.bak already is this file, rename leaves both names: the second goes.
        if (std::rename(fresh.c_str(), backup.c_str()) == 0) return ::unlink(fresh.c_str()), true;
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
    NewFile copy(backup, *bytes, old.st_mode & 07777, nullptr, error);
    if (!copy.Ready()) return false;
    if (!copy.PlaceAt(backup, true)) {
        error = Why("cannot keep the previous file as", backup);
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

bool SaveFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::string target = path;  // through a symlink, the file it names
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        target = resolved;
    } else if (errno != ENOENT) {
        error = Why("cannot save", path);
        return false;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        error = Why("cannot save", path);
        return false;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        error = "cannot save " + path + ": not a regular file";
        return false;
    }
    // A save replaces the file, which needs only the folder writable: a file made
    // read-only stays as it is.
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        error = Why("cannot save", path);
        return false;
    }
    NewFile fresh(target, bytes, exists ? old.st_mode & 07777 : NewFileMode(),
                  exists ? &old : nullptr, error);
    if (!fresh.Ready()) return false;
    if (exists && !KeepBackup(target, old, error)) return false;
    if (!fresh.PlaceAt(target, true)) {
        error = Why("cannot save", path);
        return false;
    }
    SyncFolderOf(target);
    return true;
}

bool CreateFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    // A link whose file does not exist yet: the file it names is made, as saves write
    // through links.
    const std::string target = DanglingTarget(path).value_or(path);
    if (SomethingAt(target)) {
        error = path + " already exists";
        return false;
    }
    NewFile fresh(target, bytes, NewFileMode(), nullptr, error);
    if (!fresh.Ready()) return false;
    if (!fresh.PlaceAt(target, false)) {
        error = errno == EEXIST ? path + " already exists" : Why("cannot create", path);
        return false;
    }
    SyncFolderOf(target);
    return true;
}

std::optional<std::string> DanglingTarget(const std::string& path) {
    std::string at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(at.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return at == path || SomethingAt(at) ? std::nullopt : std::optional<std::string>(at);
        }
        char text[PATH_MAX];
        const ssize_t length = ::readlink(at.c_str(), text, sizeof text - 1);
        if (length <= 0) return std::nullopt;
        const std::string named(text, static_cast<std::size_t>(length));
        at = named[0] == '/' ? named : FolderOf(at) + "/" + named;
    }
    return std::nullopt;
}

void OnFileHeld(std::function<void(const std::string&)>) {}  // a POSIX system holds no file so

}  // namespace korvanhost
