// A device's configuration archive kept in a file between runs of the host. Saving
// is atomic: a crash or a kill during a save leaves the old file or the new one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvanhost {

// The file's bytes; an empty archive when the file does not exist yet; nullopt (with
// a message) when it exists but cannot be read.
std::optional<std::vector<uint8_t>> ReadArchiveFile(const std::string& path, std::string& error);
// Temporary file in the same folder, written and flushed to disk, renamed over the old.
bool WriteArchiveFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace korvanhost
