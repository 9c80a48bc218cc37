#include "tools/korvan-host/windows_system.h"

#include <memory>

#include "tools/hostkit/utf8.h"

namespace korvanhost {

std::wstring Wide(const std::string& utf8) {
    const std::u16string wide = hostkit::FromUtf8(utf8);
    return std::wstring(wide.begin(), wide.end());
}

std::string Utf8(const std::wstring& wide) { return hostkit::ToUtf8(std::u16string(wide.begin(), wide.end())); }

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreeing> owned(text);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    for (wchar_t& c : message) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    while (!message.empty() && (message.back() == L' ' || message.back() == L'.' || message.back() == L'\u3002')) {
        message.pop_back();
    }
    if (message.empty()) return "system error " + std::to_string(code);
    return Utf8(message);
}

}  // namespace korvanhost
