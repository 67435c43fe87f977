#include "CliCommand.h"

#include <iostream>

namespace tessarel::cli {

int UsageError(const std::string& usage) {
    std::cerr << "usage: tessarel-cli " << usage << "\n";
    return kExitUsage;
}

int UsageError(const CliCommand& command) { return UsageError(command.usage); }

}  // namespace tessarel::cli
