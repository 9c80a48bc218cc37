// The demo plays its drive in-process on a pseudo-terminal, which Windows has not.
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commands.h"

namespace korvanhost {

int Demo(const Options&) {
    return Fail("demo runs on Linux only (its simulated drive needs a pseudo-terminal); on Windows use run and exec "
                "with --port COMn",
                kBadCommandLine);
}

}  // namespace korvanhost
