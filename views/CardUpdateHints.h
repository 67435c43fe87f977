#pragma once
// The changes the card views tell each other and the card commands tell the views, as typed
// update hints (see framework/UpdateHint.h). Any update without one of these rebuilds the tree
// and empties the field list.

#include <array>
#include <string>

#include "framework/UpdateHint.h"

namespace tessarel {

class CCard;

// The tree tells the field list which card to show, with its category's four labels.
struct CardShownHint : UpdateHint {
    CCard* card = nullptr;
    std::array<std::string, 4> labels;
};

// A card command appended a card to a category list (it is the list's entry `index`, its last)
// or removed the entry at `index`: the tree changes that one item instead of rebuilding all.
struct CardListChangeHint : UpdateHint {
    enum class Kind { Added, Removed };
    CardListChangeHint(Kind changeKind, int listCode, int listIndex) : kind(changeKind), code(listCode), index(listIndex) {}
    Kind kind;
    int code = -1;
    int index = -1;
};

}  // namespace tessarel
