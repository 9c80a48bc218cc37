#include "tools/korvan-host/archive/archive_format.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "tools/hostkit/config_blob.h"

namespace korvanhost {
namespace {

constexpr char kSignature[8] = {'K', 'O', 'R', 'V', 'A', 'N', 'A', 'R'};

uint32_t GetUint32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

void PutUint32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, std::size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> FormatArchive(const std::vector<uint8_t>& configuration) {
    std::vector<uint8_t> file(kSignature, kSignature + sizeof kSignature);
    PutUint32(file, kArchiveFormatVersion);
    PutUint32(file, static_cast<uint32_t>(configuration.size()));
    PutUint32(file, Crc32(configuration.data(), configuration.size()));
    file.insert(file.end(), configuration.begin(), configuration.end());
    return file;
}

ArchiveContents ParseArchive(const std::vector<uint8_t>& file) {
    ArchiveContents contents;
    if (file.size() < sizeof kSignature || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0) {
        if (hostkit::OutlineBlob(file).plausible) {
            contents.kind = ArchiveKind::OldFormat;
            contents.configuration = file;
        }
        return contents;
    }
    if (file.size() < kArchiveHeaderSize) {
        contents.kind = ArchiveKind::Damaged;
        contents.damage = "its header is cut short";
        return contents;
    }
    contents.version = GetUint32(file.data() + 8);
    if (contents.version != kArchiveFormatVersion) {
        contents.kind = ArchiveKind::UnknownVersion;
        return contents;
    }
    const uint32_t length = GetUint32(file.data() + 12);
    const std::size_t held = file.size() - kArchiveHeaderSize;
    const auto begin = file.begin() + kArchiveHeaderSize;
    contents.configuration.assign(begin, begin + static_cast<std::ptrdiff_t>(std::min<std::size_t>(length, held)));
    contents.kind = ArchiveKind::Damaged;
    if (held != length) {
        contents.damage = "it holds " + std::to_string(held) + " configuration bytes where its header says " +
                          std::to_string(length);
    } else if (Crc32(contents.configuration.data(), contents.configuration.size()) != GetUint32(file.data() + 16)) {
        contents.damage = "its configuration bytes fail the checksum";
    } else {
        contents.kind = ArchiveKind::Current;
    }
    return contents;
}

}  // namespace korvanhost
