// tessarel-cli: scripting, backups and checks over the same core as the program.

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "core/ProcessGuards.h"

namespace tessarel::cli {
void RegisterCardCommands(std::vector<CliCommand>& commands);
void RegisterFileCryptCommands(std::vector<CliCommand>& commands);
void RegisterGenerateCommand(std::vector<CliCommand>& commands);
void RegisterAuditCommand(std::vector<CliCommand>& commands);
}

namespace {

void PrintUsage(const std::vector<tessarel::cli::CliCommand>& commands, std::ostream& out = std::cerr) {
    out << "usage:\n";
    for (const auto& command : commands) out << "  tessarel-cli " << command.usage << "\n";
    out << "  tessarel-cli [COMMAND] --help | --version\n";
}

// "--help" or "--version" among a command's options (before "--", after which a file or card may
// be called so) answers on standard output; returns -1 when neither was asked for.
int AnswerInformationRequest(const std::vector<std::string>& arguments, const std::string& usage) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--version") {
            std::cout << "tessarel-cli " TESSAREL_VERSION "\n";
            return 0;
        }
        if (argument == "--help") {
            std::cout << usage;
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    tessarel::GuardProcess();
    using namespace tessarel::cli;
    std::vector<CliCommand> commands;
    RegisterCardCommands(commands);
    RegisterFileCryptCommands(commands);
    RegisterGenerateCommand(commands);
    RegisterAuditCommand(commands);

    if (argc < 2) {
        PrintUsage(commands);
        return kExitUsage;
    }
    const std::string name = argv[1];
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    if (name == "--help" || name == "--version") {
        std::ostringstream usage;
        PrintUsage(commands, usage);
        return AnswerInformationRequest({name}, usage.str());
    }
    for (const auto& command : commands) {
        if (command.name != name) continue;
        const int answered = AnswerInformationRequest(arguments, "usage: tessarel-cli " + command.usage + "\n");
        return answered >= 0 ? answered : command.run(arguments);
    }
    std::cerr << "tessarel-cli: unknown command '" << name << "'\n";
    PrintUsage(commands);
    return kExitUsage;
}
