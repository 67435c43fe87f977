#pragma once
// A comma-separated table as RFC 4180 writes it, read the way the exports of other programs need:
// a UTF-8 byte-order mark is dropped, rows end in CR LF, LF or CR, quoted fields may hold commas,
// quotes (doubled) and line breaks. Blank lines are skipped.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/SecureBuffer.h"

namespace tessarel {

struct CsvRow {
    std::size_t line = 0;  // the line of the file the row starts on, counted from 1
    std::vector<SecureString> fields;
};

class CsvTable {
public:
    // Reads the whole text. On a fault (a quote left open, text after a closing quote, a quote
    // inside an unquoted field) the table has no rows and Error() names the line.
    static CsvTable Parse(std::string_view text);

    const std::string& Error() const { return error; }
    const std::vector<CsvRow>& Rows() const { return rows; }

private:
    std::vector<CsvRow> rows;
    std::string error;
};

}  // namespace tessarel
