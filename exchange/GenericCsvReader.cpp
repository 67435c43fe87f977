#include "GenericCsvReader.h"

#include "CsvColumns.h"
#include "ExchangeTime.h"

namespace tessarel {
namespace {

std::optional<std::string> Target(std::string_view name) {
    for (const auto& target : GenericCsvTargets()) {
        if (AsciiLower(target) == AsciiLower(name)) return target;
    }
    return std::nullopt;
}

}  // namespace

const std::vector<std::string>& GenericCsvTargets() {
    static const std::vector<std::string> targets = {"Title", "URL", "Username", "Password", "Notes", "Group", "Modified"};
    return targets;
}

std::optional<CsvFieldMap> ParseCsvFieldMap(std::string_view text, std::string& error) {
    CsvFieldMap map;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view pair = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const auto equals = pair.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            error = "\"" + std::string(pair) + "\" is not COLUMN=FIELD.";
            return std::nullopt;
        }
        const auto target = Target(pair.substr(equals + 1));
        if (!target) {
            error = "\"" + std::string(pair.substr(equals + 1)) + "\" is not a field; the fields are Title, URL, Username, Password, Notes, Group and Modified.";
            return std::nullopt;
        }
        if (map.count(*target) != 0) {
            error = "the field " + *target + " is mapped twice.";
            return std::nullopt;
        }
        map[*target] = std::string(pair.substr(0, equals));
    }
    return map;
}

ImportRead ReadGenericCsv(std::string_view text, const CsvFieldMap& map) {
    ImportRead read;
    const CsvTable table = CsvTable::Parse(text);
    const CsvColumns columns(table);
    if (!columns.Error().empty()) {
        read.error = columns.Error();
        return read;
    }
    if (map.count("Title") == 0) {
        read.error = "no column is mapped to Title, which names each card.";
        return read;
    }
    std::set<std::string> mapped;
    for (const auto& [target, column] : map) {
        if (!columns.Find(column)) {
            read.error = "the header has no column \"" + column + "\" (mapped to " + target + ").";
            return read;
        }
        mapped.insert(AsciiLower(column));
    }
    auto value = [&](const CsvRow& row, const std::string& target) {
        const auto found = map.find(target);
        return found == map.end() ? SecureString() : columns.Value(row, found->second);
    };
    for (const CsvRow* row : columns.DataRows()) {
        LoginEntry entry;
        entry.origin = "line " + std::to_string(row->line);
        entry.title = value(*row, "Title");
        entry.url = value(*row, "URL");
        entry.username = value(*row, "Username");
        entry.password = value(*row, "Password");
        entry.notes = value(*row, "Notes");
        entry.group = value(*row, "Group");
        const SecureString modified = value(*row, "Modified");
        entry.modifiedUtc = ParseIsoDateTime(modified);
        if (!entry.modifiedUtc) entry.extras.emplace_back(map.count("Modified") ? map.at("Modified") : "Modified", modified);
        for (auto& other : columns.Others(*row, mapped)) entry.extras.push_back(std::move(other));
        read.cards.push_back(LoginCard(entry));
    }
    return read;
}

}  // namespace tessarel
