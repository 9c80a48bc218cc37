// GetModuleFileNameW of the program, in UTF-8.
#include <windows.h>

#include <vector>

#include "tools/korvan-sim/program_files.h"

namespace korvansim {

std::string ProgramDirectory() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return "";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return "";
        path.resize(path.size() * 2);
    }
    const std::u8string self = std::filesystem::path(std::wstring(path.begin(), path.end())).u8string();
    const std::size_t slash = self.find_last_of(u8"\\/");
    return std::string(self.begin(), self.begin() + static_cast<std::ptrdiff_t>(slash + 1));
}

}  // namespace korvansim
