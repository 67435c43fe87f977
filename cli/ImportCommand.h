#pragma once
// tessarel-cli import --from FORMAT: cards from another password manager's or browser's export.

#include <string>
#include <vector>

namespace tessarel::cli {

constexpr const char* kImportFromUsage =
    "import --from keepassxc-csv|bitwarden-json|firefox-csv|chrome-csv|csv [--map COLUMN=FIELD,...] "
    "[--skip-unsupported|--replace-unsupported] [--allow-duplicates] SOURCE OUTFILE";

// True when the arguments ask for an import from another program's export.
bool IsImportFrom(const std::vector<std::string>& arguments);

// Reads SOURCE, adds its cards to OUTFILE (opened when it exists, else a new plain card file) and
// prints the summary on standard error.
int ImportFrom(const std::vector<std::string>& arguments);

}  // namespace tessarel::cli
