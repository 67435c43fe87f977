#pragma once
// The CSV form of a card file's cards (RFC 4180): a header row with the export's field names,
// then one row per card in save order, rows ended by CR LF.

#include <string>

#include "CardFileSession.h"

namespace tessarel::cli {

// Every card in plain: kept where it is wiped when released.
SecureString ExportCsv(const OpenedCardFile& file);

// Appends one field, quoted when it holds a comma, a quote, CR or LF (quotes doubled). Line breaks
// inside the field are kept as they are.
void AppendCsvField(SecureString& out, std::string_view text);

}  // namespace tessarel::cli
