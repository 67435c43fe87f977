#include "CardSearch.h"

#include <string>

namespace tessarel::cli {
namespace {

// Only a to z are folded: the dialog compares bytes and turns these letters into A to Z.
std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool Contains(std::string_view field, std::string_view text, bool ignoreCase) {
    if (!ignoreCase) return field.find(text) != std::string_view::npos;
    return UpperAscii(field).find(UpperAscii(text)) != std::string::npos;
}

}  // namespace

const int kSearchOrder[kCategoryCount] = {0, 1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11, 12, 13, 14};

bool CardMatches(const CCard& card, std::string_view text, bool ignoreCase) {
    for (const CardText* field : {&card.GetFieldText1(), &card.GetFieldText2(), &card.GetFieldText3(), &card.GetFieldText4(), &card.GetNote()}) {
        if (Contains(*field, text, ignoreCase)) return true;
    }
    return false;
}

std::vector<const CCard*> SearchCards(const CCardFileData& data, std::string_view text, bool ignoreCase) {
    std::vector<const CCard*> found;
    for (const int code : kSearchOrder) {
        for (const auto& card : *data.GetCategoryList(code)) {
            if (CardMatches(*card, text, ignoreCase)) found.push_back(card.get());
        }
    }
    return found;
}

}  // namespace tessarel::cli
