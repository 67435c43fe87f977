#include "CardFilter.h"

#include "CardSearch.h"

namespace tessarel {

bool CardMatchesFilter(const CCard& card, std::string_view text, bool secretsToo) {
    if (TextContains(card.GetFieldText1(), text, true) || TextContains(card.GetFieldText2(), text, true) ||
        TextContains(card.GetFieldText3(), text, true))
        return true;
    return secretsToo && (TextContains(card.GetFieldText4(), text, true) || TextContains(card.GetNote(), text, true));
}

}  // namespace tessarel
