#pragma once
// The search of the program's Find Card dialog, run to the end: every card that "Find" followed
// by "Find Again" would select, in that order.

#include <string_view>
#include <vector>

#include "cardstore/CCardFileData.h"

namespace tessarel::cli {

// The categories in the order the dialog searches them: by name from "WWW Sites" to
// "Miscellaneous", which puts "POP Accounts" (6) before "Login Accounts" (5).
extern const int kSearchOrder[kCategoryCount];

// Cards of the fifteen categories (never the deleted list) in search order, each list from
// index 0. `text` is Windows-1252 bytes and must not be empty.
std::vector<const CCard*> SearchCards(const CCardFileData& data, std::string_view text, bool ignoreCase);

// Whether `text` occurs in the name, second field, third field, password or note.
bool CardMatches(const CCard& card, std::string_view text, bool ignoreCase);

}  // namespace tessarel::cli
