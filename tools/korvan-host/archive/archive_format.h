// The layout of an archive file: a device's configuration as korvan-host keeps it
// between runs. Every integer is little-endian.
//
//   offset  size  field
//        0     8  signature "KORVANAR"
//        8     4  format version, 1
//       12     4  length N of the configuration bytes
//       16     4  CRC-32 of the configuration bytes (the checksum of zlib and PNG)
//       20     N  the configuration bytes: the driver's blob as it stored it
//
// Nothing follows the configuration bytes. Files written before this header existed
// hold the driver's blob alone; they are told apart from other files by the blob's
// own layout and are rewritten in this format when next saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvanhost {

constexpr uint32_t kArchiveFormatVersion = 1;
constexpr std::size_t kArchiveHeaderSize = 20;

enum class ArchiveKind {
    Current,      // this format, intact
    OldFormat,    // a bare driver blob from before the header
    Damaged,      // this format, but cut short, lengthened or failing its checksum
    UnknownVersion,  // a format version this korvan-host does not read
    Foreign,      // not an archive
};

struct ArchiveContents {
    ArchiveKind kind = ArchiveKind::Foreign;
    std::vector<uint8_t> configuration;  // as much of the driver's bytes as the file holds
    uint32_t version = 0;                // of a file with the signature
    std::string damage;                  // of a Damaged file: what is wrong with it
};

ArchiveContents ParseArchive(const std::vector<uint8_t>& file);
std::vector<uint8_t> FormatArchive(const std::vector<uint8_t>& configuration);
uint32_t Crc32(const uint8_t* data, std::size_t size);

}  // namespace korvanhost
