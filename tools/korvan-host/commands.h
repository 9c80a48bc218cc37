// The commands of korvan-host, each returning the process's exit status.
#pragma once

#include "tools/korvan-host/host_system.h"  // CatchInterrupts(), Interrupted()
#include "tools/korvan-host/options.h"

namespace korvanhost {

int InitArchives(const Options& options);
int ShowProperties(const Options& options);
int SetProperties(const Options& options);
int ShowChannels(const Options& options);
int EditChannels(const Options& options);
int AddChannel(const Options& options);
int RemoveChannel(const Options& options);
int ListParameters(const Options& options);
int Run(const Options& options);
int Execute(const Options& options);
int Demo(const Options& options);

}  // namespace korvanhost
