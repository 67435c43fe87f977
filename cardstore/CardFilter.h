#pragma once
// The quick filter of the category tree: which cards stay shown while the person types.

#include <string_view>

#include "CCard.h"

namespace tessarel {

// Whether `text` occurs in the card's name, second field (address, host, server, ...) or third
// field (user id, login, ...), ignoring case as Find does; with `secretsToo` also in the
// password or the note. An empty text matches every card.
bool CardMatchesFilter(const CCard& card, std::string_view text, bool secretsToo);

}  // namespace tessarel
