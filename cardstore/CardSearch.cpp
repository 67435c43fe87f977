#include "CardSearch.h"

#include <string>

namespace tessarel {
namespace {

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
        if (Contains(field, text, ignoreCase)) return true;
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
