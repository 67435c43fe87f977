#pragma once
// The exports Tessarel reads, their names on the command line and in the program, the guess of a
// file's format from its content, and the one call that runs the matching reader.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GenericCsvReader.h"
#include "ImportedCard.h"

namespace tessarel {

enum class ImportFormat { KeePassXcCsv, BitwardenJson, FirefoxCsv, ChromeCsv, GenericCsv };

// "keepassxc-csv", "bitwarden-json", "firefox-csv", "chrome-csv", "csv".
std::string_view ImportFormatName(ImportFormat format);
std::optional<ImportFormat> ImportFormatFromName(std::string_view name);
// What the program shows: "KeePassXC CSV", "Bitwarden JSON (unencrypted)", ...
std::string_view ImportFormatTitle(ImportFormat format);
const std::vector<ImportFormat>& AllImportFormats();

// The format whose layout the text has: a JSON object with "items" is Bitwarden's, a CSV header
// with KeePassXC's, Firefox's or Chrome's column names is theirs, anything else a generic CSV.
ImportFormat GuessImportFormat(std::string_view text);

// Runs the reader of the format; `map` is used by the generic CSV only.
ImportRead ReadImport(ImportFormat format, std::string_view text, const CsvFieldMap& map = {});

}  // namespace tessarel
