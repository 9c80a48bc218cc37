// The driver's configuration blob, written from the host's side: for tests, the
// transcript and example archives that need a configuration the dialog has not made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hostkit {

struct BlobChannel {
    int32_t access = 0;      // 0 read only, 1 write only, 2 read and write
    int32_t type = 0;        // parameter data type 0..5
    int32_t number = 0;      // drive parameter number
    int32_t valueType = 2;   // 2 numeric, 3 text
    int32_t conversion = 3;  // row of the conversion table
    std::u16string name;
    int32_t retain = 0;
};

struct BlobContent {
    std::vector<int32_t> settings{1, 200};
    std::vector<int32_t> groupStarts;
    std::vector<int32_t> groupEnds;
    int32_t readModeBits = 0;
    std::vector<BlobChannel> channels;
};

// The four fixed channels a new device starts with.
std::vector<BlobChannel> FixedChannels();
// A parameter channel, its value type following its data type.
BlobChannel Parameter(int32_t number, int32_t type, int32_t conversion, std::u16string name, int32_t access = 0,
                      int32_t retain = 0);
std::vector<uint8_t> EncodeBlob(const BlobContent& content);

// What a stored blob declares and holds, read without trusting any count: the
// settings list, the read group lists, the read mode bits, the channel count and the
// channel records. `plausible` when everything before the records is there with
// counts the driver could have written (two settings or more).
struct BlobOutline {
    bool plausible = false;
    int32_t settingsDeclared = -1;  // -1: the bytes end before the count
    int32_t settingsPresent = 0;    // settings whose four bytes are there
    int32_t channelsDeclared = -1;  // -1: the bytes end before the count
    int32_t channelsWhole = 0;      // records, from the first, that are there whole
};
BlobOutline OutlineBlob(const std::vector<uint8_t>& blob);

// The whole content of a blob, when it is plausible, every channel record is there
// whole and nothing follows them; otherwise nullopt. Names are read from code page 936.
std::optional<BlobContent> DecodeBlob(const std::vector<uint8_t>& blob);

// Code page 936 (GBK) bytes of a text, as the driver stores and sends texts.
std::string ToGbk(std::u16string_view text);
std::u16string FromGbk(std::string_view bytes);

}  // namespace hostkit
