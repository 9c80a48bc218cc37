// korvan-host: a stand-in for the HMI host. It loads the driver with dlopen (LoadLibraryW
// on Windows) and plays the host's part through the public header only.
#include <cstdio>
#include <variant>
#include <vector>

#include "tools/korvan-host/archive/archive_file.h"
#include "tools/korvan-host/commands.h"
#include "tools/korvan-host/commissioning/commissioning.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/options.h"

int main(int argc, char** argv) {
    using namespace korvanhost;
    const ConsoleSession console;
    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<char*> words;
    for (std::string& argument : arguments) words.push_back(argument.data());
    auto parsed = ParseOptions(static_cast<int>(words.size()), words.data());
    if (auto* error = std::get_if<std::string>(&parsed)) {
        Printf(stderr, "korvan-host: %s\n", error->c_str());
        return 2;
    }
    const Options& options = std::get<Options>(parsed);
    CatchInterrupts();
    OnFileHeld([](const std::string& path) {
        Printf(stderr, "korvan-host: %s is in use by another program: trying again\n", path.c_str());
    });
    if (options.command == "help") return WriteText(stdout, Usage()), 0;
    if (options.command == "version") return WriteText(stdout, "korvan-host " KORVAN_VERSION "\n"), 0;
    if (options.command == "init") return InitArchives(options);
    if (options.command == "props") return ShowProperties(options);
    if (options.command == "set") return SetProperties(options);
    if (options.command == "channels") return ShowChannels(options);
    if (options.command == "add") return AddChannel(options);
    if (options.command == "remove") return RemoveChannel(options);
    if (options.command == "params") return ListParameters(options);
    if (options.command == "edit") return EditChannels(options);
    if (options.command == "run") return Run(options);
    if (options.command == "exec") return Execute(options);
    if (options.command == "scan") return ScanLine(options);
    if (options.command == "backup") return BackupDrive(options);
    if (options.command == "diff") return DiffBackup(options);
    if (options.command == "restore") return RestoreBackup(options);
    return Demo(options);
}
