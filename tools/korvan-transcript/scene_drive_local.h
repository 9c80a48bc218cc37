// The scene's drive in this process, on a pseudo-terminal: what the Linux transcript
// plays against, and what korvan-transcript-drive offers a Windows transcript.
#pragma once

#include "tools/korvan-transcript/scene_drive.h"

namespace transcript {

// `linkPath`, when not empty, also names the drive's pseudo-terminal. With `openLine`
// false the host's end is left to whoever opens that path.
std::unique_ptr<SceneDrive> StartLocalSceneDrive(const std::string& linkPath, bool openLine);

}  // namespace transcript
