// The symbolic link that makes a simulated drive's pseudo-terminal reachable under a name
// of the user's choice (`--link PATH`).
//
// korvan-sim never touches what is not its own. A path that exists is taken over only
// when it is a link an earlier korvan-sim left behind: a symbolic link whose target is a
// pseudo-terminal's path, /dev/pts/N, where that pseudo-terminal is closed (the drive that
// made it has gone; the system removes /dev/pts/N when its master closes) or is the one
// just opened for this drive. Anything else there — a file, a folder, a link to anything
// else, a link to a pseudo-terminal still open (a running drive, or someone's terminal) —
// is refused. At the end the link is removed only while it still points at this drive's
// own pseudo-terminal: a link that someone has since replaced stays.
#pragma once

#include <string>

#include "tools/korvan-sim/result.h"

namespace korvansim {

class PtyLink {
public:
    PtyLink() = default;
    PtyLink(PtyLink&& other) noexcept;
    PtyLink& operator=(PtyLink&& other) noexcept;
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;
    ~PtyLink();

    // Makes `link` point at `pty` (the path of this drive's pseudo-terminal), or says in one
    // line why not.
    static Result<PtyLink> Create(const std::string& link, const std::string& pty);

private:
    void Remove();
    std::string link_;
    std::string pty_;
};

}  // namespace korvansim
