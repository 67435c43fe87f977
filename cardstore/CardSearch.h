#pragma once
// The search over all cards of a card file that "Find" and "Find Again" run, shared by the program's
// Find Card dialog and the command-line tool.

#include <array>
#include <string_view>
#include <vector>

#include "CCardFileData.h"

namespace tessarel {

// The categories in the order the search takes them: by name from "WWW Sites" to
// "Miscellaneous", which puts "POP Accounts" (6) before "Login Accounts" (5).
extern const std::array<int, kCategoryCount> kSearchOrder;

// Cards of the fifteen categories (never the deleted list) in search order, each list from index 0.
std::vector<const CCard*> BuildSearchList(const CCardFileData& data);

// Whether `text` occurs in `field`. Ignoring case folds only a to z onto A to Z; every other byte
// compares as it is. The quick filter of the category tree matches the same way.
bool TextContains(std::string_view field, std::string_view text, bool ignoreCase);

// Whether `text` occurs in the name, second field, third field, password or note. Ignoring case
// folds only a to z onto A to Z; every other byte compares as it is.
bool CardMatches(const CCard& card, std::string_view text, bool ignoreCase);

// Position of the first card at or after `start` that matches, -1 when none does (no wrap-around).
int FindNextMatch(const std::vector<const CCard*>& searchList, std::string_view text, bool ignoreCase, int start);

// Every matching card in search order: what "Find" followed by "Find Again" would select.
std::vector<const CCard*> SearchCards(const CCardFileData& data, std::string_view text, bool ignoreCase);

}  // namespace tessarel
