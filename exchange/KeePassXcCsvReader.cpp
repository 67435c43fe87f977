#include "KeePassXcCsvReader.h"

#include "CsvColumns.h"
#include "ExchangeTime.h"

namespace tessarel {

ImportRead ReadKeePassXcCsv(std::string_view text) {
    ImportRead read;
    const CsvTable table = CsvTable::Parse(text);
    const CsvColumns columns(table);
    if (!columns.Error().empty()) {
        read.error = columns.Error();
        return read;
    }
    if (!columns.Find("Title") || !columns.Find("Password")) {
        read.error = "the header has no \"Title\" or no \"Password\" column, as KeePassXC's CSV export has.";
        return read;
    }
    // Icon numbers and the creation date have no meaning for a card; everything else is kept.
    static const std::set<std::string> known = {"group", "title", "username", "password", "url", "notes", "totp", "icon", "last modified", "created"};
    for (const CsvRow* row : columns.DataRows()) {
        LoginEntry entry;
        entry.origin = "line " + std::to_string(row->line);
        entry.group = columns.Value(*row, "Group");
        entry.title = columns.Value(*row, "Title");
        entry.username = columns.Value(*row, "Username");
        entry.password = columns.Value(*row, "Password");
        entry.url = columns.Value(*row, "URL");
        entry.notes = columns.Value(*row, "Notes");
        entry.extras.emplace_back("TOTP", columns.Value(*row, "TOTP"));
        const SecureString modified = columns.Value(*row, "Last Modified");
        entry.modifiedUtc = ParseIsoDateTime(modified);
        // A date we cannot read is kept as text rather than lost.
        if (!entry.modifiedUtc) entry.extras.emplace_back("Last Modified", modified);
        for (auto& other : columns.Others(*row, known)) entry.extras.push_back(std::move(other));
        read.cards.push_back(LoginCard(entry));
    }
    return read;
}

}  // namespace tessarel
