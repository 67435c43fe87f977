// tessarel-cli: scripting, backups and checks over the same core as the program.

#include <iostream>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "core/ProcessGuards.h"

namespace tessarel::cli {
void RegisterCardCommands(std::vector<CliCommand>& commands);
void RegisterFileCryptCommands(std::vector<CliCommand>& commands);
}

namespace {

void PrintUsage(const std::vector<tessarel::cli::CliCommand>& commands) {
    std::cerr << "usage:\n";
    for (const auto& command : commands) std::cerr << "  tessarel-cli " << command.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    tessarel::GuardProcess();
    using namespace tessarel::cli;
    std::vector<CliCommand> commands;
    RegisterCardCommands(commands);
    RegisterFileCryptCommands(commands);

    if (argc < 2) {
        PrintUsage(commands);
        return kExitUsage;
    }
    const std::string name = argv[1];
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    for (const auto& command : commands) {
        if (command.name == name) return command.run(arguments);
    }
    std::cerr << "tessarel-cli: unknown command '" << name << "'\n";
    PrintUsage(commands);
    return kExitUsage;
}
