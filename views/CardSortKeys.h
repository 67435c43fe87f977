#pragma once
// The names of one category's cards as the tree shows and orders them. A card's name is bytes of
// Windows-1252; the tree shows it as Unicode and sorts by its case-folded form, equal names in
// list order. A million names folded into a million strings of their own costs an allocation
// each and a cache miss per comparison: here every folded name lives in one buffer, and the sort
// compares eight characters at a time held in the entries themselves, going on to the next eight
// only within a run of names equal so far.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessarel {

class CardSortKeys {
public:
    void Reserve(std::size_t names);
    // Forgets the names added and keeps the memory, for the next category's names.
    void Clear();
    // Adds the name `bytes` of the card at list index `index`.
    void Add(std::string_view bytes, int index);
    // The list indexes added, in tree order: by folded name, equal names by list index.
    std::vector<int> SortedIndexes();
    // The same order, for names most of which keep the places they had: `places` holds, for each
    // name in the order added, the row it stood on before (any other value: none). Laid out in
    // those rows the names read as a few sorted runs, merged in near-linear time; a layout of
    // many runs is sorted as SortedIndexes() sorts. Any places give the same order.
    std::vector<int> SortedIndexes(const std::vector<int>& places);
    // The same, into `order` (its memory kept from one call to the next).
    void SortedIndexes(const std::vector<int>& places, std::vector<int>& order);

    // The name `bytes` as the tree shows it.
    static QString Text(std::string_view bytes);
    // Whether `text` is what Text(bytes) gives, without making it.
    static bool Shows(const QString& text, std::string_view bytes);

private:
    struct Entry {
        // Eight folded characters from the depth being sorted, four to a word, the first in the
        // high bits, zeros past the name's end.
        std::uint64_t head;
        std::uint64_t next;
        // The name's characters 8 to 11, likewise: with the first eight (as added) they decide
        // most comparisons of the merge without reading the name.
        std::uint64_t third;
        std::uint32_t offset;
        std::uint32_t length;
        int index;
    };
    void LoadWords(Entry& entry, std::size_t depth) const;
    // Four folded characters of `entry` from `from`, as a word of Entry.
    std::uint64_t Word(const Entry& entry, std::size_t from) const;
    // The tree order of two entries whose words were loaded at depth 0.
    bool Less(const Entry& a, const Entry& b) const;
    // Sorts `laidOut` (words loaded at depth 0) by merging its sorted runs; false (nothing
    // changed) when the runs are too many for merging to pay.
    bool MergeRuns();
    static void IndexesOf(const std::vector<Entry>& sorted, std::vector<int>& order);
    // Sorts [first, last), names equal in their first `depth` characters.
    void SortFrom(Entry* first, Entry* last, std::size_t depth);

    std::u16string folded;
    std::vector<Entry> entries;
    // Whether every entry still holds the words of its first characters, as added (a sort
    // loads later ones).
    bool wordsFromStart = true;
    // The merge's own memory, kept from one category to the next (fresh pages cost more than
    // the merge itself).
    std::vector<Entry> laidOut, other;
    std::vector<std::uint32_t> rowStarts;
    std::vector<std::size_t> runEnds, mergedEnds;
};

}  // namespace tessarel
