#pragma once
// The JSON form of a card file, written by export and read back by import.

#include <string>
#include <string_view>

#include "CardFileSession.h"
#include "ExportStream.h"

namespace tessarel::cli {

// {"layout", "encrypted", ["version", "carried",] "cards": [...]}, keys in that order. "version"
// and "carried" are header bytes and appear for the current layout only (not for a 0-byte file,
// which has no header).
// The text is handed to `output` piece by piece as it is made (see ExportStream).
void ExportJson(const OpenedCardFile& file, const ExportStream::Output& output);
// The whole text at once; it holds every card in plain, so it is kept where it is wiped.
SecureString ExportJson(const OpenedCardFile& file);

struct JsonImport {
    bool encrypted = false;
    std::string error;  // empty when the text was accepted
};

// Checks the text against the export schema and fills `data` with its cards (deleted ones in the
// deleted list) and its carried value. Nothing is filled when the text is refused.
JsonImport ImportJson(std::string_view json, CCardFileData& data);

}  // namespace tessarel::cli
