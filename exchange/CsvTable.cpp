#include "CsvTable.h"

namespace tessarel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class CsvScanner {
public:
    explicit CsvScanner(std::string_view input) : text(input) {}

    // Fills `rows`; returns the error text, empty when the table is sound.
    std::string Scan(std::vector<CsvRow>& rows) {
        while (pos < text.size()) {
            CsvRow row;
            row.line = line;
            bool anyQuoted = false;
            for (;;) {
                SecureString field;
                std::string fault = ReadField(field, anyQuoted);
                if (!fault.empty()) return fault;
                row.fields.push_back(std::move(field));
                if (pos < text.size() && text[pos] == ',') {
                    ++pos;
                    continue;
                }
                SkipLineEnd();
                break;
            }
            const bool blank = row.fields.size() == 1 && row.fields[0].empty() && !anyQuoted;
            if (!blank) rows.push_back(std::move(row));
        }
        return {};
    }

private:
    std::string ReadField(SecureString& field, bool& anyQuoted) {
        if (pos < text.size() && text[pos] == '"') {
            anyQuoted = true;
            return ReadQuoted(field);
        }
        while (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n') {
            if (text[pos] == '"') return "line " + std::to_string(line) + ": a quote inside a field that does not start with one.";
            field.push_back(text[pos++]);
        }
        return {};
    }

    std::string ReadQuoted(SecureString& field) {
        const std::size_t opened = line;
        ++pos;
        for (;;) {
            if (pos >= text.size()) return "line " + std::to_string(opened) + ": a quoted field is not closed before the end of the file.";
            const char c = text[pos++];
            if (c == '"') {
                if (pos < text.size() && text[pos] == '"') {
                    field.push_back('"');
                    ++pos;
                    continue;
                }
                break;
            }
            if (c == '\n' || (c == '\r' && (pos >= text.size() || text[pos] != '\n'))) ++line;
            field.push_back(c);
        }
        if (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n') {
            return "line " + std::to_string(line) + ": text after the closing quote of a field.";
        }
        return {};
    }

    void SkipLineEnd() {
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
        ++line;
    }

    std::string_view text;
    std::size_t pos = 0;
    std::size_t line = 1;
};

}  // namespace

CsvTable CsvTable::Parse(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    CsvTable table;
    table.error = CsvScanner(text).Scan(table.rows);
    if (!table.error.empty()) table.rows.clear();
    return table;
}

}  // namespace tessarel
