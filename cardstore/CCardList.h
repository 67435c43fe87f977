#pragma once
// The cards of one category (or the deleted cards) in insertion order, with the labels of their
// four fields. The list owns its cards. Whatever changes which cards it holds, or their order,
// advances CCard::ShownChangeCount().

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CCard.h"
#include "CategoryTable.h"

namespace tessarel {

class CCardList {
public:
    CCardList();
    explicit CCardList(const FieldLabels& labels);

    // Appends the card; returns the new count.
    int Add(std::unique_ptr<CCard> card);

    // Takes the card at `index` out of the list (later cards move up) and hands it to the caller.
    // On an empty list, or an index outside it, nothing changes: the result is empty and `*count`
    // (when asked for) is the index passed in for an empty list, the count otherwise.
    std::unique_ptr<CCard> TakeAt(int index, int* count = nullptr);

    // Removes the card at `index` without keeping it; returns the new count (the index itself
    // when the list was empty).
    int RemoveAt(int index);

    // The card at `index`, or nullptr outside the list.
    CCard* GetAt(int index) const;

    // Replaces the card at `index` (index 0 or more, inside the list); the old one is returned.
    std::unique_ptr<CCard> SetAt(std::unique_ptr<CCard> card, int index);

    int GetCount() const { return count; }
    // Makes room for `more` cards beyond those held, so that adding them moves nothing.
    void Reserve(std::size_t more) { cards.reserve(cards.size() + more); }
    // Drops every card.
    void Clear();
    void SetLabels(const std::array<std::string, 4>& newLabels) { labels = newLabels; }
    const std::array<std::string, 4>& GetLabels() const { return labels; }

    // Bytes the list's cards take in a card file.
    std::size_t ByteSize() const;

    // Visits every card in order, asking the processor for later cards and their texts ahead of
    // time: a list of many cards lies all over the heap, and a walk that waits on each card's
    // memory in turn spends most of its time waiting (the writer's passes over 100,000 cards did).
    // With the formatting of a record this cheap, each miss would be most of a card's time: 96
    // cards and 48 texts ahead measured best (16/8 and 256/128 both slower).
    template <class Visit>
    void VisitAhead(Visit&& visit) const {
        VisitAhead(0, cards.size(), visit);
    }
    // The same over the cards at [first, last) (a range past the end stops at the end).
    template <class Visit>
    void VisitAhead(std::size_t first, std::size_t last, Visit&& visit) const {
        constexpr std::size_t kCardsAhead = 96, kTextsAhead = 48;
        const std::size_t n = std::min(last, cards.size());
        for (std::size_t i = first; i < n; ++i) {
#if defined(__GNUC__) || defined(__clang__)
            if (i + kCardsAhead < n) __builtin_prefetch(cards[i + kCardsAhead].get());
#endif
            if (i + kTextsAhead < n) cards[i + kTextsAhead]->PrefetchTexts();
            visit(*cards[i]);
        }
    }

    auto begin() const { return cards.begin(); }
    auto end() const { return cards.end(); }

private:
    // A list made or assigned anew is a change a tree could show (see CCard::ShownChangeCount).
    [[no_unique_address]] CCard::AssignmentNote<true> made;
    std::vector<std::unique_ptr<CCard>> cards;
    int count = 0;
    std::array<std::string, 4> labels;
};

}  // namespace tessarel
