#include "CCardList.h"

namespace tessarel {

CCardList::CCardList() : CCardList(kDeletedListLabels) {}

CCardList::CCardList(const FieldLabels& initial) {
    for (std::size_t i = 0; i < labels.size(); ++i) labels[i] = std::string(initial[i]);
}

int CCardList::Add(std::unique_ptr<CCard> card) {
    cards.push_back(std::move(card));
    count = static_cast<int>(cards.size());
    CCard::NoteShownChange();
    return count;
}

std::unique_ptr<CCard> CCardList::TakeAt(int index, int* newCount) {
    if (count == 0) {
        if (newCount) *newCount = index;
        return nullptr;
    }
    if (index < 0 || index >= count) {
        if (newCount) *newCount = count;
        return nullptr;
    }
    auto card = std::move(cards[static_cast<std::size_t>(index)]);
    cards.erase(cards.begin() + index);
    count = static_cast<int>(cards.size());
    CCard::NoteShownChange();
    if (newCount) *newCount = count;
    return card;
}

void CCardList::Clear() {
    cards.clear();
    cards.shrink_to_fit();
    count = 0;
    CCard::NoteShownChange();
}

int CCardList::RemoveAt(int index) {
    int result = 0;
    TakeAt(index, &result);
    return result;
}

CCard* CCardList::GetAt(int index) const {
    if (index < 0 || index >= count) return nullptr;
    return cards[static_cast<std::size_t>(index)].get();
}

std::unique_ptr<CCard> CCardList::SetAt(std::unique_ptr<CCard> card, int index) {
    if (index < 0 || index >= count) return card;
    std::swap(cards[static_cast<std::size_t>(index)], card);
    CCard::NoteShownChange();
    return card;
}

std::size_t CCardList::ByteSize() const {
    std::size_t total = 0;
    VisitAhead([&total](const CCard& card) { total += card.ByteSize(); });
    return total;
}

}  // namespace tessarel
