#include "tools/hostkit/config_blob.h"

#include <algorithm>
#include <cstring>

namespace hostkit {
namespace {

void PutInt(std::vector<uint8_t>& out, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

void PutList(std::vector<uint8_t>& out, const std::vector<int32_t>& list) {
    PutInt(out, static_cast<int32_t>(list.size()));
    for (int32_t value : list) PutInt(out, value);
}

}  // namespace

std::vector<BlobChannel> FixedChannels() {
    return {{0, 0, 0, 2, 0, u"当前频率", 0}, {0, 0, 0, 2, 0, u"状态字", 0},
            {1, 0, 0, 2, 0, u"控制字", 0},   {1, 0, 0, 2, 0, u"期望值", 0}};
}

BlobChannel Parameter(int32_t number, int32_t type, int32_t conversion, std::u16string name, int32_t access,
                      int32_t retain) {
    return {access, type, number, type == 5 ? 3 : 2, conversion, std::move(name), retain};
}

std::vector<uint8_t> EncodeBlob(const BlobContent& content) {
    std::vector<uint8_t> out;
    PutList(out, content.settings);
    PutList(out, content.groupStarts);
    PutList(out, content.groupEnds);
    PutInt(out, content.readModeBits);
    PutInt(out, static_cast<int32_t>(content.channels.size()));
    for (const BlobChannel& c : content.channels) {
        for (int32_t value : {c.access, c.type, c.number, c.valueType, c.conversion}) PutInt(out, value);
        const std::string name = ToGbk(c.name);
        PutInt(out, static_cast<int32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        PutInt(out, c.retain);
    }
    return out;
}

BlobOutline OutlineBlob(const std::vector<uint8_t>& blob) {
    // Beyond these no driver has written a blob: two settings, one read group per
    // channel, a channel per parameter number and the fixed ones.
    constexpr int32_t kMostSettings = 64;
    constexpr int32_t kMostChannels = 8192;
    std::size_t at = 0;
    const auto next = [&](int32_t& value) {
        if (blob.size() - at < 4) return false;
        value = static_cast<int32_t>(uint32_t{blob[at]} | uint32_t{blob[at + 1]} << 8 | uint32_t{blob[at + 2]} << 16 |
                                     uint32_t{blob[at + 3]} << 24);
        at += 4;
        return true;
    };
    const auto skipList = [&](int32_t most) {
        int32_t count = 0;
        if (!next(count) || count < 0 || count > most || static_cast<std::size_t>(count) > (blob.size() - at) / 4) {
            return false;
        }
        at += static_cast<std::size_t>(count) * 4;
        return true;
    };
    BlobOutline outline;
    int32_t settings = 0;
    if (!next(settings)) return outline;
    outline.settingsDeclared = settings;
    const std::size_t whole = (blob.size() - at) / 4;
    outline.settingsPresent = static_cast<int32_t>(std::min<std::size_t>(std::max(settings, 0), whole));
    if (settings < 2 || settings > kMostSettings || outline.settingsPresent < settings) return outline;
    at += static_cast<std::size_t>(settings) * 4;
    int32_t readModeBits = 0, channels = 0;
    if (!skipList(kMostChannels) || !skipList(kMostChannels) || !next(readModeBits) || !next(channels)) return outline;
    outline.channelsDeclared = channels;
    outline.plausible = channels >= 0 && channels <= kMostChannels;
    // Each record: access, type, number, value type, conversion, the name's length and
    // bytes, retain.
    for (int32_t k = 0; k < channels; ++k) {
        int32_t field = 0, nameLength = 0;
        for (int i = 0; i < 5; ++i) {
            if (!next(field)) return outline;
        }
        if (!next(nameLength) || nameLength < 0 || static_cast<std::size_t>(nameLength) > blob.size() - at) {
            return outline;
        }
        at += static_cast<std::size_t>(nameLength);
        if (!next(field)) return outline;
        ++outline.channelsWhole;
    }
    return outline;
}

std::optional<BlobContent> DecodeBlob(const std::vector<uint8_t>& blob) {
    const BlobOutline outline = OutlineBlob(blob);
    if (!outline.plausible || outline.channelsWhole != outline.channelsDeclared) return std::nullopt;
    // The outline has checked every count against the bytes, so the reads below stay inside.
    std::size_t at = 0;
    const auto next = [&] {
        const auto value = static_cast<int32_t>(uint32_t{blob[at]} | uint32_t{blob[at + 1]} << 8 |
                                                uint32_t{blob[at + 2]} << 16 | uint32_t{blob[at + 3]} << 24);
        at += 4;
        return value;
    };
    const auto list = [&] {
        std::vector<int32_t> values(static_cast<std::size_t>(next()));
        for (int32_t& value : values) value = next();
        return values;
    };
    BlobContent content;
    content.settings = list();
    content.groupStarts = list();
    content.groupEnds = list();
    content.readModeBits = next();
    content.channels.resize(static_cast<std::size_t>(next()));
    for (BlobChannel& c : content.channels) {
        for (int32_t* field : {&c.access, &c.type, &c.number, &c.valueType, &c.conversion}) *field = next();
        const auto length = static_cast<std::size_t>(next());
        c.name = FromGbk(std::string_view(reinterpret_cast<const char*>(blob.data() + at), length));
        at += length;
        c.retain = next();
    }
    if (at != blob.size()) return std::nullopt;
    return content;
}

}  // namespace hostkit
