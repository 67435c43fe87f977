#pragma once
// tessarel-cli dispatches on its first argument to one of these. Each group of commands lives in
// its own file and adds its entries through a Register... function listed in main.cpp.

#include <string>
#include <vector>

namespace tessarel::cli {

// Exit statuses of the tool.
constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CliCommand {
    std::string name;
    std::string usage;  // e.g. "export FILE [--format json|csv]"
    // Receives the arguments after the command name. Returns one of the exit statuses above.
    int (*run)(const std::vector<std::string>& arguments);
};

// Prints "usage: tessarel-cli <usage>" to standard error and returns kExitUsage.
int UsageError(const CliCommand& command);
int UsageError(const std::string& usage);

}  // namespace tessarel::cli
