// The transcript's bytes to standard output exactly as they are: no newline is
// translated on any system.
#pragma once

#include <string>

namespace transcript {

void WriteStandardOutput(const std::string& bytes);

}  // namespace transcript
