// A backup of a drive's parameters: a CSV file a person can read (and open in a
// spreadsheet) and a program can parse. Comment lines give where and when it was
// made, then a header row and one row per parameter:
//
//   # korvan-host backup of a VLT5000's parameters, format 1
//   # time: 2025-03-04T10:15:00.000Z
//   # address: 1
//   # unit type: VLT5005 380-500V
//   # software version: 3.12
//   # korvan: 1.0.0
//   pnu,name,type,conversion,unit,raw,value,text,error,reason
//   207,Ramp-up time 1,uint32,-2,s,300,3.00,,,
//   621,Unit type,text,0,,,,"VLT5005 380-500V  ",,
//   615,Fault log: error code,uint8,0,,,,,3,the index does not exist
//
// `raw` is the integer the drive sent, `value` the same in the unit (raw × the
// factor of the conversion index), `text` a text parameter's text as the drive sent
// it. A parameter the drive refused has no value: `error` holds the drive's error
// number and `reason` says what it means.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvanhost {

// The driver passes values in single precision: a raw integer beyond ±2^24 may not be
// exactly the drive's, and cannot be written back exactly.
inline constexpr int64_t kExactLimit = int64_t{1} << 24;

struct BackupEntry {
    int32_t number = 0;
    std::string name;
    std::string type;             // int16, int32, uint8, uint16, uint32 or text
    int32_t conversion = 0;
    std::string unit;
    std::optional<int64_t> raw;   // a numeric parameter's value
    std::optional<std::string> text;  // a text parameter's value (UTF-8)
    std::optional<int32_t> error; // a refused parameter's error number
    std::string reason;           // a refused parameter: why; empty for a value

    bool Absent() const { return !reason.empty(); }
    bool IsText() const { return type == "text"; }
};

struct Backup {
    std::string time;             // UTC, ISO 8601 with milliseconds
    std::string address;
    std::string unitType;
    std::string softwareVersion;
    std::string korvanVersion;
    std::vector<BackupEntry> entries;

    const BackupEntry* Find(int32_t number) const;
};

std::string FormatBackup(const Backup& backup);
// The backup in `content`, or nullopt with `error` naming `name` and the line.
std::optional<Backup> ParseBackup(const std::string& content, const std::string& name, std::string& error);
// The backup in the file at `path` (UTF-8 on every system), or nullopt with `error`.
std::optional<Backup> ReadBackup(const std::string& path, std::string& error);

}  // namespace korvanhost
