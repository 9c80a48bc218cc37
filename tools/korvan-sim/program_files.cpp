#include "tools/korvan-sim/program_files.h"

#include <filesystem>
#include <system_error>

namespace korvansim {
namespace {

bool Exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(Utf8Path(path), error);
}

// PREFIX/FOLDER/NAME for a program in PREFIX/bin, or "" when the program's folder is unknown.
std::string BesidePrefix(const std::string& folder, const std::string& name) {
    const std::string here = ProgramDirectory();
    if (here.empty()) return "";
    const std::u8string normal = Utf8Path(here + "../" + folder + "/" + name).lexically_normal().u8string();
    return std::string(normal.begin(), normal.end());
}

}  // namespace

std::filesystem::path Utf8Path(const std::string& path) { return std::u8string(path.begin(), path.end()); }

std::string SharedDataFile(const std::string& name, const std::string& sourceTreeCopy) {
    const std::string beside = ProgramDirectory().empty() ? "" : ProgramDirectory() + name;
    if (Exists(beside)) return beside;
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

std::string DefaultParameterFile() {
#ifdef KORVAN_SIM_DATA_DIR
    return SharedDataFile("vlt5000-parameters.csv", KORVAN_SIM_DATA_DIR "/vlt5000-parameters.csv");
#else
    return SharedDataFile("vlt5000-parameters.csv", "");
#endif
}

}  // namespace korvansim
