#include "tools/korvan-host/commissioning/parameter_diff.h"

#include <map>

#include "tools/korvan-host/commissioning/scaled_value.h"

namespace korvanhost {

bool SameValue(const BackupEntry& a, const BackupEntry& b) {
    if (a.Absent() || b.Absent()) return a.Absent() && b.Absent();
    return a.raw == b.raw && a.text == b.text;
}

std::vector<Difference> Compare(const std::vector<BackupEntry>& before, const std::vector<BackupEntry>& after) {
    std::map<int32_t, Difference> all;
    for (const BackupEntry& entry : before) all[entry.number] = {entry.number, &entry, nullptr};
    for (const BackupEntry& entry : after) {
        Difference& difference = all[entry.number];
        difference.number = entry.number;
        difference.after = &entry;
    }
    std::vector<Difference> differences;
    for (const auto& [number, difference] : all) {
        const bool same = difference.before && difference.after && SameValue(*difference.before, *difference.after);
        if (!same) differences.push_back(difference);
    }
    return differences;
}

std::string ShownValue(const BackupEntry* entry, const std::string& missing) {
    if (entry == nullptr) return missing;
    if (entry->Absent()) return entry->error ? "absent (error " + std::to_string(*entry->error) + ")" : "absent";
    if (entry->text) return "\"" + *entry->text + "\"";
    const std::string approximate = *entry->raw > kExactLimit || *entry->raw < -kExactLimit ? "≈" : "";
    return approximate + ScaledWithUnit(*entry->raw, entry->conversion, entry->unit);
}

std::string DifferenceLine(const Difference& difference, const std::string& missingBefore,
                           const std::string& missingAfter) {
    const BackupEntry* named = difference.after ? difference.after : difference.before;
    return std::to_string(difference.number) + " " + named->name + ": " + ShownValue(difference.before, missingBefore) +
           " → " + ShownValue(difference.after, missingAfter);
}

}  // namespace korvanhost
