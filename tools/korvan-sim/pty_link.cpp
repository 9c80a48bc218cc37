#include "tools/korvan-sim/pty_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace korvansim {
namespace {

constexpr std::string_view kPtyFolder = "/dev/pts/";

// The target of the symbolic link at `path`; nullopt when `path` is not a symbolic link.
std::optional<std::string> LinkTarget(const std::string& path) {
    std::string target(4096, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
        return std::nullopt;
    }
    target.resize(static_cast<std::size_t>(length));
    return target;
}

bool IsPtyPath(const std::string& path) {
    if (path.size() <= kPtyFolder.size() || path.compare(0, kPtyFolder.size(), kPtyFolder) != 0) {
        return false;
    }
    return path.find_first_not_of("0123456789", kPtyFolder.size()) == std::string::npos;
}

// Why the existing `link` may not be replaced, or "" when it is a link an earlier
// korvan-sim left behind.
std::string Refusal(const std::string& link, const std::string& pty) {
    const std::optional<std::string> target = LinkTarget(link);
    if (!target) {
        return link + " exists and is not a link korvan-sim made; choose another path";
    }
    if (!IsPtyPath(*target)) {
        return link + " is a link to " + *target + ", not one korvan-sim made; choose another path";
    }
    struct stat info {};
    if (*target != pty && lstat(target->c_str(), &info) == 0) {
        return link + " is the link of a running simulated drive, or of another program's terminal (" + *target +
               " is open)";
    }
    return "";
}

}  // namespace

PtyLink::PtyLink(PtyLink&& other) noexcept
    : link_(std::exchange(other.link_, {})), pty_(std::exchange(other.pty_, {})) {}

PtyLink& PtyLink::operator=(PtyLink&& other) noexcept {
    if (this != &other) {
        Remove();
        link_ = std::exchange(other.link_, {});
        pty_ = std::exchange(other.pty_, {});
    }
    return *this;
}

PtyLink::~PtyLink() {
    Remove();
}

void PtyLink::Remove() {
    if (!link_.empty() && LinkTarget(link_) == pty_) {
        unlink(link_.c_str());
    }
    link_.clear();
    pty_.clear();
}

Result<PtyLink> PtyLink::Create(const std::string& link, const std::string& pty) {
    struct stat existing {};
    if (lstat(link.c_str(), &existing) == 0) {
        if (std::string refusal = Refusal(link, pty); !refusal.empty()) {
            return Result<PtyLink>::Fail(refusal);
        }
        unlink(link.c_str());
    }
    // Fails, rather than replaces, should something appear at `link` meanwhile.
    if (symlink(pty.c_str(), link.c_str()) != 0) {
        return Result<PtyLink>::Fail("cannot create the link " + link + ": " + std::strerror(errno));
    }
    PtyLink made;
    made.link_ = link;
    made.pty_ = pty;
    return Result<PtyLink>::Ok(std::move(made));
}

}  // namespace korvansim
