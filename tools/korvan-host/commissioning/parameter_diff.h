// What differs between two sets of a drive's parameters, shown one line each in the
// user's units: "207 Ramp-up time 1: 3.00 s → 5.50 s".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/korvan-host/commissioning/backup_file.h"

namespace korvanhost {

struct Difference {
    int32_t number = 0;
    const BackupEntry* before = nullptr;  // nullptr: not in that set
    const BackupEntry* after = nullptr;
};

// Every parameter whose value, text or absence differs, in parameter order; one
// in only one of the sets differs too.
std::vector<Difference> Compare(const std::vector<BackupEntry>& before, const std::vector<BackupEntry>& after);
bool SameValue(const BackupEntry& a, const BackupEntry& b);
// "3.00 s", "\"VLT 5000\"", "absent (error 3)"; `missing` for nullptr.
std::string ShownValue(const BackupEntry* entry, const std::string& missing);
// "207 Ramp-up time 1: 3.00 s → 5.50 s"
std::string DifferenceLine(const Difference& difference, const std::string& missingBefore,
                           const std::string& missingAfter);

}  // namespace korvanhost
