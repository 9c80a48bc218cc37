// Parameters read from the drive one after another, as a backup holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/korvan-host/commissioning/backup_file.h"
#include "tools/korvan-host/commissioning/drive_link.h"
#include "tools/korvan-host/line/progress.h"

namespace korvanhost {

struct DriveReadout {
    std::vector<BackupEntry> entries;   // `wanted`'s, each with the drive's value or absent
    std::optional<uint16_t> statusWord; // from the last reply that brought a value
};

// Reads each parameter `wanted` names with its data type. A refusal makes the
// entry absent with the drive's error number; a request without a usable reply is
// asked once more, and a second failure ends the readout: nullopt, with `error`
// saying which parameter. Ctrl-C ends it too.
std::optional<DriveReadout> ReadParameters(DriveLink& link, const std::vector<BackupEntry>& wanted,
                                           Progress& progress, std::string& error);

// What to add to a readout's error: a drive that does not answer may be at another
// address or baud rate.
std::string NoReplyHint(const std::string& error);

// The data type code a command text takes (0 int16 … 5 text) for a type name.
int32_t TypeCode(const std::string& typeName);

// A text as it is shown in one line: without the blanks the drive pads it with.
std::string Trimmed(const std::u16string& text);

}  // namespace korvanhost
