// korvan-transcript DRIVER: plays a fixed host session through the driver's entry
// points and prints everything observable. The x86-64, ARM and Windows builds must
// print the same text.
#include <cstdio>

#include "tools/korvan-transcript/standard_output.h"
#include "tools/korvan-transcript/transcript.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvan-transcript DRIVER\n");
        return 2;
    }
    hostkit::DriverLibrary library(argv[1]);
    if (!library.Loaded()) {
        std::fprintf(stderr, "korvan-transcript: %s\n", library.Error().c_str());
        return 1;
    }
    transcript::Transcript out;
    transcript::Session session{library.Svr(), out};
    transcript::PlayEntryPoints(session);
    transcript::PlayConfiguration(session);
    transcript::PlayDriveLink(session);
    transcript::WriteStandardOutput(out.Str());
    return 0;
}
