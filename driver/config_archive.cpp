#include "driver/config_archive.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "channels/persistent_object.h"
#include "driver/host_containers.h"
#include "platform/system/code_page.h"

namespace korvan {
namespace {

constexpr int32_t kGrowthStep = 16534;

// The position, kept within the data even when the host handed over another value.
int32_t Position(const ConfigArchive& archive) {
    return std::clamp(archive.position, 0, DataSize(archive));
}

}  // namespace

void SetMode(ConfigArchive& archive, int32_t mode) {
    if (archive.mode == mode) return;
    archive.mode = mode;
    Rewind(archive);
}

bool IsStoring(const ConfigArchive& archive) { return archive.mode == kStoring; }

void Rewind(ConfigArchive& archive) {
    if (archive.position == 0) return;
    if (archive.position > 0 && archive.position < DataSize(archive)) {
        SetArraySize(archive.buffer, archive.position);
    }
    archive.position = 0;
}

int32_t DataSize(const ConfigArchive& archive) { return ReadableCount(archive.buffer); }

int32_t RemainingBytes(const ConfigArchive& archive) { return DataSize(archive) - Position(archive); }

bool Reserve(ConfigArchive& archive, int32_t n) {
    if (n < 0) return false;
    const int64_t need = int64_t{Position(archive)} + n;
    const int64_t size = DataSize(archive);
    if (archive.mode == kLoading) return size >= need;
    if (size >= need) return true;
    const int64_t grown = std::max(size + kGrowthStep, need);
    if (grown > std::numeric_limits<int32_t>::max()) return false;
    return SetArraySize(archive.buffer, static_cast<int32_t>(grown));
}

bool WriteBytes(ConfigArchive& archive, const void* source, int32_t n) {
    if (archive.mode != kStoring) SetMode(archive, kStoring);
    if (!Reserve(archive, n)) return false;
    const int32_t at = Position(archive);
    if (n > 0) std::memcpy(archive.buffer.data + at, source, static_cast<std::size_t>(n));
    archive.position = at + n;
    return true;
}

bool ReadBytes(ConfigArchive& archive, void* target, int32_t n) {
    if (archive.mode != kLoading) SetMode(archive, kLoading);
    if (!Reserve(archive, n)) return false;
    const int32_t at = Position(archive);
    if (n > 0) std::memcpy(target, archive.buffer.data + at, static_cast<std::size_t>(n));
    archive.position = at + n;
    return true;
}

bool WriteInt32(ConfigArchive& archive, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                              static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    return WriteBytes(archive, bytes, 4);
}

bool ReadInt32(ConfigArchive& archive, int32_t& target) {
    uint8_t bytes[4];
    if (!ReadBytes(archive, bytes, 4)) return false;
    target = static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                                  uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
    return true;
}

bool WriteText(ConfigArchive& archive, std::u16string_view text) {
    const std::string bytes = platform::WideToCodePage(text);
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() - 4)) return false;
    const auto count = static_cast<int32_t>(bytes.size());
    return WriteInt32(archive, count) && WriteBytes(archive, bytes.data(), count);
}

bool ReadText(ConfigArchive& archive, std::u16string& target) {
    int32_t count = 0;
    ReadInt32(archive, count);
    // A count that is negative or runs past the data reads nothing: the text keeps
    // what it held, and no allocation is sized by it.
    if (count < 0 || count > RemainingBytes(archive)) return false;
    std::string bytes(static_cast<std::size_t>(count), '\0');
    if (!ReadBytes(archive, bytes.data(), count)) return false;
    target = platform::CodePageToWide(bytes);
    return true;
}

void WriteObject(ConfigArchive& archive, PersistentObject& object) {
    SetMode(archive, kStoring);
    object.Serialize(archive);
}

void ReadObject(ConfigArchive& archive, PersistentObject& object) {
    SetMode(archive, kLoading);
    object.Serialize(archive);
}

}  // namespace korvan
