// A device's configuration archive kept in a file between runs of the host, laid out
// as archive_format.h describes. Saving is atomic: a crash or a kill during a save
// leaves the old file or the new one. A save writes through a symlink to the file it
// names, keeps that file's mode, owner and group (on Windows its attributes and access
// rights), and keeps the file it replaces as NAME.bak beside it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/korvan-host/archive/archive_format.h"

namespace korvanhost {

struct ArchiveFile {
    bool exists = false;
    ArchiveKind kind = ArchiveKind::Current;  // Current, OldFormat or Damaged
    std::vector<uint8_t> configuration;       // the driver's bytes, as far as the file holds them
    std::string damage;                       // of a Damaged file
};

// The file's contents; `exists` false when there is no file. nullopt, with a one-line
// message, when the file cannot be read or is not an archive this korvan-host reads.
std::optional<ArchiveFile> ReadArchiveFile(const std::string& path, std::string& error);
// Saves `configuration` over the archive at `path` (or as a new file there).
bool WriteArchiveFile(const std::string& path, const std::vector<uint8_t>& configuration, std::string& error);
// Saves `configuration` as a new archive; fails when anything is at `path` already.
bool CreateArchiveFile(const std::string& path, const std::vector<uint8_t>& configuration, std::string& error);

// Called when a save finds a file held by another program (an antivirus or a sync
// client reading it a moment) and goes on trying, for about a second, before it fails.
// Only Windows holds files so.
void OnFileHeld(std::function<void(const std::string& path)> notice);

// The system's side (archive_file_posix.cpp, archive_file_win.cpp) of the above, and of
// every other file korvan-host writes (backups): `bytes` saved as the whole file at
// `path` atomically, over the file there (kept as NAME.bak) or as a new one;
bool SaveFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
// … or only as a new file, failing when anything is at `path` already;
bool CreateFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
// the whole file at `path` (at most 64 MB), or nullopt with a message; `missing` is
// set instead when there is no file.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::string& error,
                                                  bool* missing = nullptr);
// Whether anything, a dangling symlink too, is at `path`.
bool SomethingAt(const std::string& path);
// The path a symlink at `path` leads to when no file is there; nullopt for anything else.
std::optional<std::string> DanglingTarget(const std::string& path);

}  // namespace korvanhost
