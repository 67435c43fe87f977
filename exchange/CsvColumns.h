#pragma once
// The header row of an export's CSV, and the rows below it read by column name. Every row must
// have as many fields as the header: a row with more or fewer is where a quote went wrong, and the
// rows after it cannot be trusted either.

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CsvTable.h"

namespace tessarel {

class CsvColumns {
public:
    // The table's first row as the header. Error() is set when the table is faulty, empty, or a
    // row's field count differs from the header's.
    explicit CsvColumns(const CsvTable& table);

    const std::string& Error() const { return error; }
    const std::vector<std::string>& Names() const { return names; }
    // Index of the column whose name equals `name` without regard to ASCII case.
    std::optional<std::size_t> Find(std::string_view name) const;
    // The data rows (after the header).
    std::vector<const CsvRow*> DataRows() const;

    // The row's value in the named column; "" when the header has no such column.
    SecureString Value(const CsvRow& row, std::string_view name) const;
    // Every non-empty value of the columns not named in `known`, as (header name, value).
    std::vector<std::pair<std::string, SecureString>> Others(const CsvRow& row, const std::set<std::string>& knownLowerCase) const;

private:
    const CsvTable* table;
    std::vector<std::string> names;
    std::string error;
};

std::string AsciiLower(std::string_view text);

}  // namespace tessarel
