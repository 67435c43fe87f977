#pragma once
// The names of one category's cards as the tree shows and orders them. A card's name is bytes of
// Windows-1252; the tree shows it as Unicode and sorts by its case-folded form, equal names in
// list order. A million names folded into a million strings of their own costs an allocation
// each and a cache miss per comparison: here every folded name lives in one buffer, and each
// entry carries its first characters inline, so most comparisons read only the entries.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessarel {

class CardSortKeys {
public:
    void Reserve(std::size_t names);
    // Adds the name `bytes` of the card at list index `index`.
    void Add(std::string_view bytes, int index);
    // The list indexes added, in tree order: by folded name, equal names by list index.
    std::vector<int> SortedIndexes();

    // The name `bytes` as the tree shows it.
    static QString Text(std::string_view bytes);
    // Whether `text` is what Text(bytes) gives, without making it.
    static bool Shows(const QString& text, std::string_view bytes);

private:
    struct Entry {
        // The first eight folded characters, four to a word, the first in the high bits.
        std::uint64_t head;
        std::uint64_t next;
        std::uint32_t offset;
        std::uint32_t length;
        int index;
    };
    bool Less(const Entry& a, const Entry& b) const;

    std::u16string folded;
    std::vector<Entry> entries;
};

}  // namespace tessarel
