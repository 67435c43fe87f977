#pragma once
// The rows the card field list shows for one card (label and value): the password masked, the
// note summarised, the two browser options for the browser categories, then the date. Shared by
// the program's field list and the command-line tool's card display.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CCard.h"
#include "CategoryTable.h"

namespace tessarel {

using FieldRow = std::pair<std::string, std::string>;

// "WWW Sites", "FTP Servers", "Newsgroups" and "E-Mail Contacts" carry the two browser options.
bool IsBrowserGroupCode(int code);
bool IsBrowserGroupName(std::string_view categoryName);

// The note as its row shows it: the text before the first line break followed by "...", or, for
// a long single line, the text up to a blank at or before the 60th character followed by "...".
std::string NoteSummary(std::string_view note);

// One "*" per character, at most 255.
std::string MaskedPassword(std::string_view password);

// Label and value of every row, Windows-1252 bytes, with the given field labels. The date row
// shows the card's date text as it stands. `reveal` shows the password in clear.
std::vector<FieldRow> CardFieldRows(const CCard& card, const std::array<std::string, 4>& labels, bool reveal);
// The same with the labels of the card's category (the deleted list's labels for other codes).
std::vector<FieldRow> CardFieldRows(const CCard& card, bool reveal);

}  // namespace tessarel
