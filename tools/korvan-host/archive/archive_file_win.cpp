// Archive files on Windows, with UTF-8 paths as the system's UTF-16 ones: a temporary
// file beside the archive flushed with FlushFileBuffers, the file it replaces kept as
// NAME.bak (a second name for it, or a copy where the file system has no hard links),
// then ReplaceFileW, which keeps the replaced file's attributes and access rights, or
// MoveFileExW with write-through for a file that is new. A step that finds a file held
// by another program a moment (an antivirus, a sync client) is tried again for about a
// second.
#include <cstdio>
#include <functional>

#include "tools/korvan-host/archive/archive_file.h"
#include "tools/korvan-host/windows_system.h"

namespace korvanhost {
namespace {

constexpr std::size_t kLargestArchive = 64 * 1024 * 1024;
constexpr int kHeldTries = 20;
constexpr DWORD kHeldPauseMs = 50;

std::function<void(const std::string&)>& HeldNotice() {
    static std::function<void(const std::string&)> notice;
    return notice;
}

// Another program has the file open without sharing it, or has it locked.
bool Held(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Runs `step` (true when done, else with the system's error set) again while it finds
// `path` held, for about a second; its last error stays set.
template <class Step>
bool WhileHeld(const std::string& path, Step&& step) {
    for (int attempt = 1;; ++attempt) {
        if (step()) return true;
        const DWORD failure = GetLastError();
        if (!Held(failure) || attempt == kHeldTries) return SetLastError(failure), false;
        if (attempt == 1 && HeldNotice()) HeldNotice()(path);
        Sleep(kHeldPauseMs);
    }
}

// The message for the call that just failed.
std::string Why(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + SystemMessage(GetLastError());
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A temporary file beside `destination` holding `bytes`, flushed to disk: its path, or empty.
std::string WriteTemporary(const std::string& destination, const std::vector<uint8_t>& bytes, std::string& error) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, ".%lx-%lx.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                      static_cast<unsigned long>(serial++ ^ GetTickCount()));
        const std::string temporary = destination + suffix;
        UniqueHandle file(CreateFileW(Wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid() && GetLastError() == ERROR_FILE_EXISTS) continue;
        if (!file.Valid()) {
            error = Why("cannot create a temporary file beside", destination);
            return {};
        }
        bool done = true;
        for (std::size_t at = 0; done && at < bytes.size();) {
            DWORD written = 0;
            done = WriteFile(file.Get(), bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &written, nullptr) &&
                   written > 0;
            at += written;
        }
        done = done && FlushFileBuffers(file.Get());
        if (!done) error = Why("cannot save", destination);
        if (!file.Close() && done) error = Why("cannot save", destination), done = false;
        if (!done) {
            DeleteFileW(Wide(temporary).c_str());
            return {};
        }
        return temporary;
    }
    error = "cannot create a temporary file beside " + destination + ": every name tried is taken";
    return {};
}

bool LinksUnsupported(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SAME_DEVICE ||
           error == ERROR_TOO_MANY_LINKS;
}

// Keeps `target` as target.bak: a second name for the same file, or a copy. The older
// target.bak is replaced only once the new one is whole, so a failure here keeps it.
bool KeepBackup(const std::string& target, std::string& error) {
    const std::string backup = target + ".bak";
    const std::string fresh = backup + ".new";
    DeleteFileW(Wide(fresh).c_str());  // left by a run that was killed here
    if (WhileHeld(target, [&] { return CreateHardLinkW(Wide(fresh).c_str(), Wide(target).c_str(), nullptr) != 0; })) {
        if (WhileHeld(backup, [&] {
                return MoveFileExW(Wide(fresh).c_str(), Wide(backup).c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            })) {
            return true;
        }
        error = Why("cannot keep the previous file as", backup);
        DeleteFileW(Wide(fresh).c_str());
        return false;
    }
    if (!LinksUnsupported(GetLastError())) {
        error = Why("cannot keep the previous file as", backup);
        return false;
    }
    const auto bytes = ReadWholeFile(target, error);
    if (!bytes) return false;
    const std::string temporary = WriteTemporary(backup, *bytes, error);
    if (temporary.empty()) return false;
    if (!WhileHeld(backup, [&] {
            return MoveFileExW(Wide(temporary).c_str(), Wide(backup).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        })) {
        error = Why("cannot keep the previous file as", backup);
        DeleteFileW(Wide(temporary).c_str());
        return false;
    }
    return true;
}

// The file a symbolic link at `path` names, or `path` itself; empty with a message
// when the link leads nowhere.
std::string ThroughLinks(const std::string& path, DWORD attributes, std::string& error) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
    UniqueHandle file(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::wstring resolved(32768, L'\0');
    const DWORD length = file.Valid() ? GetFinalPathNameByHandleW(file.Get(), resolved.data(),
                                                                  static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED)
                                      : 0;
    if (length == 0 || length >= resolved.size()) {
        error = Why("cannot save", path);
        return {};
    }
    resolved.resize(length);
    if (resolved.rfind(L"\\\\?\\UNC\\", 0) == 0) resolved = L"\\\\" + resolved.substr(8);
    else if (resolved.rfind(L"\\\\?\\", 0) == 0) resolved = resolved.substr(4);
    return Utf8(resolved);
}

// The full path of `path`, which ReplaceFileW needs (Wine refuses a relative one).
std::string FullPath(const std::string& path) {
    const std::wstring wide = Wide(path);
    std::wstring full(32768, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    return Utf8(full);
}

}  // namespace

void OnFileHeld(std::function<void(const std::string&)> notice) { HeldNotice() = std::move(notice); }

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::string& error, bool* missing) {
    UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        if (missing != nullptr && IsMissing(GetLastError())) {
            *missing = true;
            return std::nullopt;
        }
        error = Why("cannot read archive", path);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) {
            error = Why("cannot read archive", path);
            return std::nullopt;
        }
        if (bytes.size() > kLargestArchive) {
            error = "archive " + path + " is larger than 64 MB";
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

bool SomethingAt(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SaveFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && !IsMissing(GetLastError())) {
        error = Why("cannot save", path);
        return false;
    }
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    const std::string target = FullPath(exists ? ThroughLinks(path, attributes, error) : path);
    if (target.empty()) return false;
    if (target != path) attributes = GetFileAttributesW(Wide(target).c_str());
    if (exists && (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
        error = "cannot save " + path + ": not a regular file";
        return false;
    }
    // A file made read-only stays as it is.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = "cannot save " + path + ": the file is read-only";
        return false;
    }
    const std::string temporary = WriteTemporary(target, bytes, error);
    if (temporary.empty()) return false;
    if (exists && !KeepBackup(target, error)) {
        DeleteFileW(Wide(temporary).c_str());
        return false;
    }
    if (!exists) {
        if (MoveFileExW(Wide(temporary).c_str(), Wide(target).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
        error = Why("cannot save", path);
        DeleteFileW(Wide(temporary).c_str());
        return false;
    }
    if (WhileHeld(path, [&] {
            return ReplaceFileW(Wide(target).c_str(), Wide(temporary).c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                nullptr, nullptr) != 0;
        })) {
        return true;
    }
    const DWORD failure = GetLastError();
    error = Why("cannot save", path);
    // Where the replaced file was moved aside (1176: gone from its name; 1177: under a
    // name the system chose), the new one still has its temporary name: it takes the
    // archive's name if that is free, and is kept otherwise. The previous
    // configuration is in NAME.bak either way.
    const bool movedAside = failure == ERROR_UNABLE_TO_MOVE_REPLACEMENT || failure == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
    if (movedAside || !SomethingAt(target)) {
        if (!SomethingAt(target) &&
            MoveFileExW(Wide(temporary).c_str(), Wide(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        error += " (the new configuration is in " + temporary + ", the previous one in " + target + ".bak)";
        return false;
    }
    DeleteFileW(Wide(temporary).c_str());  // the archive is as it was
    return false;
}

bool CreateFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    if (SomethingAt(path)) {
        error = path + " already exists";
        return false;
    }
    const std::string temporary = WriteTemporary(path, bytes, error);
    if (temporary.empty()) return false;
    // Without MOVEFILE_REPLACE_EXISTING: a file made meanwhile is never replaced.
    if (MoveFileExW(Wide(temporary).c_str(), Wide(path).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD failure = GetLastError();
    error = failure == ERROR_ALREADY_EXISTS || failure == ERROR_FILE_EXISTS ? path + " already exists"
                                                                            : Why("cannot create", path);
    DeleteFileW(Wide(temporary).c_str());
    return false;
}

// Links on Windows are rare and need rights to make: an archive path is taken as it is.
std::optional<std::string> DanglingTarget(const std::string&) { return std::nullopt; }

}  // namespace korvanhost
