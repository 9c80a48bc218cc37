// The commissioning commands of korvan-host, each returning the process's exit
// status: find drives on a line, back up a drive's parameters, compare, put back.
#pragma once

#include "tools/korvan-host/options.h"

namespace korvanhost {

int ScanLine(const Options& options);
int BackupDrive(const Options& options);
int DiffBackup(const Options& options);
int RestoreBackup(const Options& options);

}  // namespace korvanhost
