#include "CardSearch.h"

#include <algorithm>

namespace tessarel {
namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool TextContains(std::string_view field, std::string_view text, bool ignoreCase) {
    if (!ignoreCase) return field.find(text) != std::string_view::npos;
    // Folded while compared, in place: a folded copy of each text (passwords among them) would be
    // left behind in freed memory, unwiped.
    const auto same = [](char a, char b) { return UpperAscii(a) == UpperAscii(b); };
    return std::search(field.begin(), field.end(), text.begin(), text.end(), same) != field.end();
}

const std::array<int, kCategoryCount> kSearchOrder = {0, 1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11, 12, 13, 14};

std::vector<const CCard*> BuildSearchList(const CCardFileData& data) {
    std::vector<const CCard*> list;
    for (const int code : kSearchOrder) {
        for (const auto& card : *data.GetCategoryList(code)) list.push_back(card.get());
    }
    return list;
}

bool CardMatches(const CCard& card, std::string_view text, bool ignoreCase) {
    for (const std::string_view field : {card.GetFieldText1(), card.GetFieldText2(), card.GetFieldText3(), card.GetFieldText4(), card.GetNote()}) {
        if (TextContains(field, text, ignoreCase)) return true;
    }
    return false;
}

int FindNextMatch(const std::vector<const CCard*>& searchList, std::string_view text, bool ignoreCase, int start) {
    const int count = static_cast<int>(searchList.size());
    for (int position = start < 0 ? 0 : start; position < count; ++position) {
        if (CardMatches(*searchList[static_cast<std::size_t>(position)], text, ignoreCase)) return position;
    }
    return -1;
}

std::vector<const CCard*> SearchCards(const CCardFileData& data, std::string_view text, bool ignoreCase) {
    std::vector<const CCard*> found;
    for (const CCard* card : BuildSearchList(data)) {
        if (CardMatches(*card, text, ignoreCase)) found.push_back(card);
    }
    return found;
}

}  // namespace tessarel
