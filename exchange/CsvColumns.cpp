#include "CsvColumns.h"

namespace tessarel {

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

CsvColumns::CsvColumns(const CsvTable& source) : table(&source) {
    if (!source.Error().empty()) {
        error = source.Error();
        return;
    }
    if (source.Rows().empty()) {
        error = "the file has no header row.";
        return;
    }
    for (const auto& name : source.Rows().front().fields) {
        std::string trimmed(name);
        while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
        while (!trimmed.empty() && trimmed.front() == ' ') trimmed.erase(trimmed.begin());
        names.push_back(trimmed);
    }
    for (const auto& row : source.Rows()) {
        if (row.fields.size() != names.size()) {
            error = "line " + std::to_string(row.line) + " has " + std::to_string(row.fields.size()) + " fields; the header has " +
                    std::to_string(names.size()) + ".";
            return;
        }
    }
}

std::optional<std::size_t> CsvColumns::Find(std::string_view name) const {
    const std::string wanted = AsciiLower(name);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (AsciiLower(names[i]) == wanted) return i;
    }
    return std::nullopt;
}

std::vector<const CsvRow*> CsvColumns::DataRows() const {
    std::vector<const CsvRow*> rows;
    if (!error.empty()) return rows;
    for (std::size_t i = 1; i < table->Rows().size(); ++i) rows.push_back(&table->Rows()[i]);
    return rows;
}

SecureString CsvColumns::Value(const CsvRow& row, std::string_view name) const {
    const auto index = Find(name);
    return index && *index < row.fields.size() ? row.fields[*index] : SecureString();
}

std::vector<std::pair<std::string, SecureString>> CsvColumns::Others(const CsvRow& row, const std::set<std::string>& knownLowerCase) const {
    std::vector<std::pair<std::string, SecureString>> others;
    for (std::size_t i = 0; i < names.size() && i < row.fields.size(); ++i) {
        if (knownLowerCase.count(AsciiLower(names[i])) == 0 && !row.fields[i].empty()) others.emplace_back(names[i], row.fields[i]);
    }
    return others;
}

}  // namespace tessarel
