#include "tools/korvan-host/commissioning/scan_lists.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "tools/korvan-sim/framing.h"

namespace korvanhost {
namespace {

std::vector<std::string_view> Items(std::string_view text) {
    std::vector<std::string_view> items;
    for (std::size_t comma; (comma = text.find(',')) != std::string_view::npos; text.remove_prefix(comma + 1)) {
        items.push_back(text.substr(0, comma));
    }
    items.push_back(text);
    return items;
}

std::optional<uint32_t> Whole(std::string_view text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

template <class T>
void AddOnce(std::vector<T>& list, T value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

}  // namespace

std::string ParseBaudList(const std::string& text, std::vector<uint32_t>& out) {
    out.clear();
    for (std::string_view item : Items(text)) {
        const auto baud = Whole(item);
        if (!baud || !korvansim::IsSupportedBaud(*baud)) {
            return "--bauds takes baud rates the drive offers, e.g. 9600,4800, not '" + std::string(item) + "'";
        }
        AddOnce(out, *baud);
    }
    return "";
}

std::string ParseFramingList(const std::string& text, std::vector<std::string>& out) {
    out.clear();
    for (std::string_view item : Items(text)) {
        const auto framing = korvansim::ParseFraming(item);
        if (!framing) return "--framings takes 8E1, 8N1, 8N2 or 8O1, not '" + std::string(item) + "'";
        AddOnce(out, korvansim::FramingName(*framing));
    }
    return "";
}

// An FC line addresses drives 1..31 in the format the driver sends.
std::string ParseAddressList(const std::string& text, std::vector<uint8_t>& out) {
    out.clear();
    for (std::string_view item : Items(text)) {
        const std::size_t dash = item.find('-');
        const auto first = Whole(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : Whole(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last > 31 || *first > *last) {
            return "--addresses takes addresses 1..31 and ranges, e.g. 1-31 or 3,7,10-12, not '" + std::string(item) +
                   "'";
        }
        for (uint32_t address = *first; address <= *last; ++address) AddOnce(out, static_cast<uint8_t>(address));
    }
    return "";
}

}  // namespace korvanhost
