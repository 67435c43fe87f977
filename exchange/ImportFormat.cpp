#include "ImportFormat.h"

#include "BitwardenJsonReader.h"
#include "BrowserCsvReader.h"
#include "CsvColumns.h"
#include "KeePassXcCsvReader.h"

namespace tessarel {
namespace {

struct FormatInfo {
    ImportFormat format;
    std::string_view name;
    std::string_view title;
};

constexpr FormatInfo kFormats[] = {
    {ImportFormat::KeePassXcCsv, "keepassxc-csv", "KeePassXC CSV"},
    {ImportFormat::BitwardenJson, "bitwarden-json", "Bitwarden JSON (unencrypted)"},
    {ImportFormat::FirefoxCsv, "firefox-csv", "Firefox saved logins CSV"},
    {ImportFormat::ChromeCsv, "chrome-csv", "Chrome/Chromium passwords CSV"},
    {ImportFormat::GenericCsv, "csv", "Other CSV (map the columns)"},
};

// The first row only: guessing must not read a whole large file.
std::optional<CsvColumns> HeaderOf(std::string_view text, CsvTable& table) {
    const auto end = text.find_first_of("\r\n");
    table = CsvTable::Parse(text.substr(0, end));
    CsvColumns columns(table);
    if (!columns.Error().empty()) return std::nullopt;
    return columns;
}

}  // namespace

std::string_view ImportFormatName(ImportFormat format) {
    for (const auto& info : kFormats) {
        if (info.format == format) return info.name;
    }
    return {};
}

std::string_view ImportFormatTitle(ImportFormat format) {
    for (const auto& info : kFormats) {
        if (info.format == format) return info.title;
    }
    return {};
}

std::optional<ImportFormat> ImportFormatFromName(std::string_view name) {
    for (const auto& info : kFormats) {
        if (info.name == name) return info.format;
    }
    return std::nullopt;
}

const std::vector<ImportFormat>& AllImportFormats() {
    static const std::vector<ImportFormat> all = {ImportFormat::KeePassXcCsv, ImportFormat::BitwardenJson, ImportFormat::FirefoxCsv,
                                                  ImportFormat::ChromeCsv, ImportFormat::GenericCsv};
    return all;
}

ImportFormat GuessImportFormat(std::string_view text) {
    std::size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' || text[start] == '\n')) ++start;
    if (start < text.size() && text[start] == '{') return ImportFormat::BitwardenJson;
    CsvTable table;
    const auto header = HeaderOf(text, table);
    if (!header) return ImportFormat::GenericCsv;
    if (header->Find("Title") && header->Find("Password") && header->Find("Group")) return ImportFormat::KeePassXcCsv;
    if (header->Find("url") && header->Find("password") && (header->Find("httpRealm") || header->Find("formActionOrigin") || header->Find("guid"))) {
        return ImportFormat::FirefoxCsv;
    }
    if (header->Find("name") && header->Find("url") && header->Find("username") && header->Find("password")) return ImportFormat::ChromeCsv;
    return ImportFormat::GenericCsv;
}

ImportRead ReadImport(ImportFormat format, std::string_view text, const CsvFieldMap& map) {
    switch (format) {
        case ImportFormat::KeePassXcCsv: return ReadKeePassXcCsv(text);
        case ImportFormat::BitwardenJson: return ReadBitwardenJson(text);
        case ImportFormat::FirefoxCsv: return ReadFirefoxCsv(text);
        case ImportFormat::ChromeCsv: return ReadChromeCsv(text);
        case ImportFormat::GenericCsv: return ReadGenericCsv(text, map);
    }
    return {};
}

}  // namespace tessarel
