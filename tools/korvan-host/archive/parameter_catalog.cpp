#include "tools/korvan-host/archive/parameter_catalog.h"

#include <algorithm>
#include <cctype>

#include "tools/korvan-sim/parameter_loader.h"
#include "tools/korvan-sim/program_files.h"

namespace korvanhost {
namespace {

// A bus write is refused for read-outs and panel-only parameters: such channels are read.
int32_t ChannelAccess(korvansim::Access access) {
    const bool writable = access == korvansim::Access::ReadWrite || access == korvansim::Access::WhenStopped;
    return writable ? 2 : 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

std::string CatalogPath() { return korvansim::DefaultParameterFile(); }

std::optional<ParameterCatalog> ParameterCatalog::Load(const std::string& path, std::string& error) {
    const auto table = korvansim::LoadParameterTable(path);
    if (!table) {
        error = "cannot read the parameter catalog: " + table.Error();
        return std::nullopt;
    }
    ParameterCatalog catalog;
    for (const auto& [number, def] : table->All()) {
        catalog.parameters_[number] = {number, def.name, def.chineseName, static_cast<int32_t>(def.type),
                                       def.conversion, ChannelAccess(def.access), def.unit};
        catalog.parameters_[number].whenStopped = def.access == korvansim::Access::WhenStopped;
    }
    return catalog;
}

void ParameterCatalog::Override(const ParameterCatalog& site) {
    for (const auto& [number, parameter] : site.parameters_) parameters_[number] = parameter;
}

std::optional<ParameterCatalog> LoadCatalog(const std::string& sitePath, std::string& error) {
    auto catalog = ParameterCatalog::Load(CatalogPath(), error);
    if (!catalog || sitePath.empty()) return catalog;
    const auto site = ParameterCatalog::Load(sitePath, error);
    if (!site) return std::nullopt;
    catalog->Override(*site);
    return catalog;
}

const CatalogParameter* ParameterCatalog::Find(int32_t number) const {
    const auto found = parameters_.find(number);
    return found == parameters_.end() ? nullptr : &found->second;
}

std::vector<const CatalogParameter*> ParameterCatalog::Search(const std::string& word) const {
    const std::string wanted = Lower(word);
    std::vector<const CatalogParameter*> found;
    for (const auto& [number, parameter] : parameters_) {
        if (Lower(parameter.name).find(wanted) != std::string::npos ||
            parameter.chineseName.find(word) != std::string::npos ||
            std::to_string(number).find(wanted) != std::string::npos) {
            found.push_back(&parameter);
        }
    }
    return found;
}

}  // namespace korvanhost
