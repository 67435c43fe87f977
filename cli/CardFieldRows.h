#pragma once
// The rows the program's card field list shows for one card: label and value, the password
// masked, the note summarised, the browser options for the browser categories, then the date.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cardstore/CCard.h"

namespace tessarel::cli {

// Label and value, both Windows-1252 bytes. `reveal` shows the password in clear.
std::vector<std::pair<std::string, std::string>> CardFieldRows(const CCard& card, bool reveal);

// The note as its row shows it: the first line followed by "...", or, for a long single line,
// the text up to a blank at or before the 60th character followed by "...".
std::string NoteSummary(std::string_view note);

// One "*" per character, at most 255.
std::string MaskedPassword(std::string_view password);

}  // namespace tessarel::cli
