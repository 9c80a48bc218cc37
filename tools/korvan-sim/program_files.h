// Where korvan-host and korvan-sim find the files they come with. In the build tree
// the driver lies beside the programs and the data in the source tree; installed,
// the programs are in PREFIX/bin, the driver in PREFIX/lib/korvan and the data in
// PREFIX/share/korvan, found relative to the program so that any prefix works. On
// Windows everything lies in the program's folder. Paths are UTF-8 on every system.
#pragma once

#include <filesystem>
#include <string>

namespace korvansim {

// The running program's folder with a trailing separator, or "" when it cannot be told
// (program_files_posix.cpp, program_files_win.cpp).
std::string ProgramDirectory();

// A UTF-8 path as the system's file functions take it.
std::filesystem::path Utf8Path(const std::string& path);

// NAME beside the program, else PREFIX/share/korvan/NAME when the program is installed
// there, else `sourceTreeCopy` (the build tree's case). A build made for installing
// passes "" and gets the installed path even when the file is missing, so that an
// error names it.
std::string SharedDataFile(const std::string& name, const std::string& sourceTreeCopy);

// The driver FILE beside the program, else in PREFIX/lib/korvan. When neither
// exists: the path beside the program, or with `installed` the one in lib/korvan.
std::string DriverFile(const std::string& file, bool installed);

// The VLT5000 parameter catalog the simulated drive and korvan-host read.
std::string DefaultParameterFile();

}  // namespace korvansim
