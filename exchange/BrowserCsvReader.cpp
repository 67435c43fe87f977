#include "BrowserCsvReader.h"

#include <charconv>

#include "CsvColumns.h"

namespace tessarel {
namespace {

// "https://user@www.example.com:8080/path" -> "www.example.com": a name for entries that have none.
std::string HostOf(std::string_view url) {
    const auto scheme = url.find("://");
    if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
    url = url.substr(0, url.find_first_of("/?#"));
    const auto at = url.rfind('@');
    if (at != std::string_view::npos) url.remove_prefix(at + 1);
    return std::string(url.substr(0, url.find(':')));
}

std::optional<std::int64_t> Milliseconds(std::string_view text) {
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < 0) return std::nullopt;
    return value / 1000;
}

bool Header(const CsvColumns& columns, ImportRead& read, std::string_view program) {
    if (!columns.Error().empty()) {
        read.error = columns.Error();
        return false;
    }
    if (!columns.Find("url") || !columns.Find("password")) {
        read.error = "the header has no \"url\" or no \"password\" column, as " + std::string(program) + "'s password export has.";
        return false;
    }
    return true;
}

}  // namespace

ImportRead ReadFirefoxCsv(std::string_view text) {
    ImportRead read;
    const CsvTable table = CsvTable::Parse(text);
    const CsvColumns columns(table);
    if (!Header(columns, read, "Firefox")) return read;
    // The guid and the use counts are the browser's bookkeeping, not the user's data.
    static const std::set<std::string> known = {"url", "username", "password", "httprealm", "formactionorigin", "guid",
                                                "timecreated", "timelastused", "timepasswordchanged"};
    for (const CsvRow* row : columns.DataRows()) {
        LoginEntry entry;
        entry.origin = "line " + std::to_string(row->line);
        entry.url = columns.Value(*row, "url");
        entry.title = HostOf(entry.url);
        entry.username = columns.Value(*row, "username");
        entry.password = columns.Value(*row, "password");
        entry.extras.emplace_back("HTTP realm", columns.Value(*row, "httpRealm"));
        entry.extras.emplace_back("Form action", columns.Value(*row, "formActionOrigin"));
        entry.modifiedUtc = Milliseconds(columns.Value(*row, "timePasswordChanged"));
        for (auto& other : columns.Others(*row, known)) entry.extras.push_back(std::move(other));
        read.cards.push_back(LoginCard(entry));
    }
    return read;
}

ImportRead ReadChromeCsv(std::string_view text) {
    ImportRead read;
    const CsvTable table = CsvTable::Parse(text);
    const CsvColumns columns(table);
    if (!Header(columns, read, "Chrome")) return read;
    static const std::set<std::string> known = {"name", "url", "username", "password", "note"};
    for (const CsvRow* row : columns.DataRows()) {
        LoginEntry entry;
        entry.origin = "line " + std::to_string(row->line);
        entry.url = columns.Value(*row, "url");
        entry.title = columns.Value(*row, "name");
        if (entry.title.empty()) entry.title = HostOf(entry.url);
        entry.username = columns.Value(*row, "username");
        entry.password = columns.Value(*row, "password");
        entry.notes = columns.Value(*row, "note");
        for (auto& other : columns.Others(*row, known)) entry.extras.push_back(std::move(other));
        read.cards.push_back(LoginCard(entry));
    }
    return read;
}

}  // namespace tessarel
