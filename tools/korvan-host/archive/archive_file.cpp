#include "tools/korvan-host/archive/archive_file.h"

namespace korvanhost {

std::optional<ArchiveFile> ReadArchiveFile(const std::string& path, std::string& error) {
    bool missing = false;
    const auto bytes = ReadWholeFile(path, error, &missing);
    if (missing) return ArchiveFile{};
    if (!bytes) return std::nullopt;
    ArchiveContents contents = ParseArchive(*bytes);
    if (contents.kind == ArchiveKind::Foreign) {
        error = path + " is not a Korvan archive";
        return std::nullopt;
    }
    if (contents.kind == ArchiveKind::UnknownVersion) {
        error = path + " is a Korvan archive of format version " + std::to_string(contents.version) +
                ", which this korvan-host does not read";
        return std::nullopt;
    }
    return ArchiveFile{true, contents.kind, std::move(contents.configuration), std::move(contents.damage)};
}

bool WriteArchiveFile(const std::string& path, const std::vector<uint8_t>& configuration, std::string& error) {
    return SaveFileAtomically(path, FormatArchive(configuration), error);
}

bool CreateArchiveFile(const std::string& path, const std::vector<uint8_t>& configuration, std::string& error) {
    return CreateFileAtomically(path, FormatArchive(configuration), error);
}

}  // namespace korvanhost
