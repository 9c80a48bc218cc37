// What the Windows sides of korvan-host share: handles that close themselves, UTF-8
// texts as the system's UTF-16 ones and back, and the system's words for an error.
// Included by *_win.cpp files only.
#pragma once

#include <windows.h>

#include <string>

namespace korvanhost {

// Owns a handle from CreateFileW and the like.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(INVALID_HANDLE_VALUE); }

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    // Closes the handle held; true when that worked (or nothing was held).
    bool Close() {
        const bool closed = !Valid() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Frees a block the system allocated with LocalAlloc, for std::unique_ptr.
struct LocalFreeing {
    void operator()(void* block) const { LocalFree(block); }
};

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// FormatMessageW's text for `code`, on one line without its full stop.
std::string SystemMessage(DWORD code);

}  // namespace korvanhost
