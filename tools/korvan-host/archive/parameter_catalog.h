// The VLT5000's parameters as korvan-host offers them for channels: the simulated
// drive's parameter data file, read with the simulator's own loader, so both programs
// know the same parameters.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvanhost {

struct CatalogParameter {
    int32_t number = 0;
    std::string name;           // UTF-8, as the drive's documentation names it
    std::string chineseName;    // UTF-8; empty when the catalog has none
    int32_t type = 0;           // the driver's data type, 0..5
    int32_t conversion = 0;     // the drive's conversion index (74 for 0.1)
    int32_t access = 0;         // the channel's access: 0 read only, 2 read and write
    std::string unit;
    bool whenStopped = false;   // the drive changes it only while the motor is stopped
};

class ParameterCatalog {
public:
    // The catalog in `path`, or nullopt with `error` saying why.
    static std::optional<ParameterCatalog> Load(const std::string& path, std::string& error);

    // Adds the rows of `site`, in place of any with the same number.
    void Override(const ParameterCatalog& site);

    const CatalogParameter* Find(int32_t number) const;
    // Every parameter whose number, name or Chinese name holds `word` (any case); all for an
    // empty word.
    std::vector<const CatalogParameter*> Search(const std::string& word) const;

private:
    std::map<int32_t, CatalogParameter> parameters_;
};

// Where the catalog is: the simulated drive's parameter file.
std::string CatalogPath();
// The catalog with the rows of the site file `sitePath` (--catalog) added or put in
// place; the built-in one alone for an empty path. nullopt with `error` naming the
// file and line of a row that is not in the catalog's format.
std::optional<ParameterCatalog> LoadCatalog(const std::string& sitePath, std::string& error);

}  // namespace korvanhost
