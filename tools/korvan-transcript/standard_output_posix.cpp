#include <cstdio>

#include "tools/korvan-transcript/standard_output.h"

namespace transcript {

void WriteStandardOutput(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

}  // namespace transcript
