// The C runtime opens standard output in text mode, which would write "\r\n".
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "tools/korvan-transcript/standard_output.h"

namespace transcript {

void WriteStandardOutput(const std::string& bytes) {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace transcript
