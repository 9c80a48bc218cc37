#include "tools/korvan-transcript/transcript.h"

#include <cinttypes>
#include <cstdio>

#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"

namespace transcript {
namespace {

template <class Values, class Format>
std::string List(const Values& values, Format format) {
    std::string text = "[";
    for (std::size_t i = 0; i < values.size(); ++i) text += (i ? ", " : "") + format(values[i]);
    return text + "]";
}

}  // namespace

void Transcript::Section(const std::string& title) { out_ << "\n== " << title << " ==\n"; }

void Transcript::Line(const std::string& text) { out_ << text << "\n"; }

std::string Show(const HostIntArray& array) {
    return List(hostkit::Values(array), [](int32_t v) { return std::to_string(v); });
}

std::string Show(const HostByteArray& array) {
    return List(hostkit::Values(array), [](uint8_t v) { return std::to_string(v); });
}

std::string Show(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Show(const HostDoubleArray& array) {
    return List(hostkit::Values(array), [](double v) { return Show(v); });
}

std::string Show(const HostStringArray& array) {
    return List(hostkit::Values(array), [](const std::u16string& v) { return "\"" + hostkit::ToUtf8(v) + "\""; });
}

std::string Show(const HostString& string) {
    return string.text == nullptr ? "null" : "\"" + hostkit::ToUtf8(hostkit::Text(string)) + "\"";
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += (i ? " " : "") + std::string(pair);
    }
    return text;
}

std::string ShowArchive(const ConfigArchive& archive) {
    std::vector<uint8_t> bytes = hostkit::Values(archive.buffer);
    const std::size_t size = bytes.size();
    while (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
    return "archive size=" + std::to_string(size) + " position=" + std::to_string(archive.position) +
           " mode=" + std::to_string(archive.mode) + " bytes=" + Hex(bytes);
}

}  // namespace transcript
