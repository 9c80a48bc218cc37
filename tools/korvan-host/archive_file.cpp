#include "tools/korvan-host/archive_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace

std::optional<std::vector<uint8_t>> ReadArchiveFile(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::vector<uint8_t>{};
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

bool WriteArchiveFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = Why("cannot create a temporary file beside", path);
        return false;
    }
    const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = Why("cannot save archive", path);
        ::unlink(temporary.c_str());
        return false;
    }
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);  // the rename itself reaches the disk
        ::close(folder);
    }
    return true;
}

}  // namespace korvanhost
