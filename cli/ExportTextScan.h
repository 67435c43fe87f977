#pragma once
// Finding the next byte of a card text that an export cannot copy as it is. Card texts are mostly
// plain ASCII, so the search looks at eight bytes at a time and only a word that holds such a byte
// is looked at byte by byte; the writers then copy whole runs between those bytes.

#include <cstddef>
#include <string_view>

namespace tessarel::cli {

// The first index from `from` on of a byte JSON must escape or decode: a control character
// (below 0x20), '"', '\\' or a Windows-1252 byte from 0x80 on; bytes.size() when there is none.
std::size_t NextJsonSpecial(std::string_view bytes, std::size_t from);

// Whether a CSV field must be quoted: it holds ',', '"', CR or LF.
bool CsvNeedsQuotes(std::string_view bytes);

// The first index from `from` on of a byte from 0x80 on or, in a quoted field, of '"'.
std::size_t NextCsvSpecial(std::string_view bytes, std::size_t from, bool quoted);

}  // namespace tessarel::cli
