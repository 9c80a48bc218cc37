#include "tools/korvan-sim/program_files.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace korvansim {
namespace {

bool Exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// PREFIX/FOLDER/NAME for a program in PREFIX/bin, or "" when the program's folder is unknown.
std::string BesidePrefix(const std::string& folder, const std::string& name) {
    const std::string here = ProgramDirectory();
    if (here.empty()) return "";
    return std::filesystem::path(here + "../" + folder + "/" + name).lexically_normal().string();
}

}  // namespace

std::string ProgramDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    const std::string self(path, static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/') + 1);
}

std::string SharedDataFile(const std::string& name, const std::string& sourceTreeCopy) {
    const std::string installed = BesidePrefix("share/korvan", name);
    if (Exists(installed) || sourceTreeCopy.empty()) return installed.empty() ? name : installed;
    return sourceTreeCopy;
}

std::string DriverFile(const std::string& file, bool installed) {
    const std::string beside = ProgramDirectory() + file;
    if (Exists(beside)) return beside;
    const std::string inLibrary = BesidePrefix("lib/korvan", file);
    if (Exists(inLibrary) || (installed && !inLibrary.empty())) return inLibrary;
    return beside;
}

}  // namespace korvansim
