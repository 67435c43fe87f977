#pragma once
// Runs the built tessarel-cli as a child process: arguments, standard input through a pipe
// (where passwords come from when it is not a terminal), standard output and error captured.

#include <map>
#include <string>
#include <vector>

namespace tessarel::testing {

struct CliRun {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// `environment` entries are set in the child on top of the test's own environment.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input = "",
              const std::map<std::string, std::string>& environment = {});

}  // namespace tessarel::testing
