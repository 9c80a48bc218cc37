// The driver's sequential writer and reader on the host's configuration archive. The
// position and the mode live in the host's object; storing grows the buffer, loading
// never reads past its end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "korvan/host_abi.h"

namespace korvan {

class PersistentObject;

enum ArchiveMode : int32_t { kLoading = 0, kStoring = 1 };

// A switch of mode rewinds: storing -> loading keeps the bytes written, loading ->
// storing keeps the bytes consumed; either way the next pass starts at byte 0.
void SetMode(ConfigArchive& archive, int32_t mode);
bool IsStoring(const ConfigArchive& archive);
// Cuts the buffer to the position (when not 0) and returns to the start.
void Rewind(ConfigArchive& archive);
int32_t DataSize(const ConfigArchive& archive);
// Bytes from the position to the end of the data.
int32_t RemainingBytes(const ConfigArchive& archive);
// Storing: makes room for n more bytes, growing by at least 16534. Loading: whether n
// more bytes are there.
bool Reserve(ConfigArchive& archive, int32_t n);

bool WriteBytes(ConfigArchive& archive, const void* source, int32_t n);
// On failure the target keeps its contents.
bool ReadBytes(ConfigArchive& archive, void* target, int32_t n);
bool WriteInt32(ConfigArchive& archive, int32_t value);
bool ReadInt32(ConfigArchive& archive, int32_t& target);
// A 32-bit count of bytes, then the text in the system code page, no terminator.
bool WriteText(ConfigArchive& archive, std::u16string_view text);
bool ReadText(ConfigArchive& archive, std::u16string& target);

void WriteObject(ConfigArchive& archive, PersistentObject& object);
void ReadObject(ConfigArchive& archive, PersistentObject& object);

}  // namespace korvan
