#pragma once
// The CSV form of a card file's cards (RFC 4180): a header row with the export's field names,
// then one row per card in save order, rows ended by CR LF.

#include <string>

#include "CardFileSession.h"
#include "ExportStream.h"

namespace tessarel::cli {

// The text is handed to `output` piece by piece as it is made (see ExportStream).
void ExportCsv(const OpenedCardFile& file, const ExportStream::Output& output);

// Appends one field, quoted when it holds a comma, a quote, CR or LF (quotes doubled). Line breaks
// inside the field are kept as they are.
void AppendCsvField(SecureString& out, std::string_view text);

}  // namespace tessarel::cli
