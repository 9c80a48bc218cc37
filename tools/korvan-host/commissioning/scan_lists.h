// The lists scan takes on its command line: --bauds 9600,4800, --framings 8E1,8N1 and
// --addresses 1-31 (or 3,7,10-12).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvanhost {

// Each returns empty when the list is good and fills `out`; otherwise a one-line error.
std::string ParseBaudList(const std::string& text, std::vector<uint32_t>& out);
std::string ParseFramingList(const std::string& text, std::vector<std::string>& out);
std::string ParseAddressList(const std::string& text, std::vector<uint8_t>& out);

}  // namespace korvanhost
