#include "CardSortKeys.h"

#include <algorithm>
#include <array>

#include "core/Win1252.h"

namespace tessarel {

namespace {

// What each byte shows as, and its case-folded form (one or more characters). Folding works on
// one character at a time, so a name folds to the folded forms of its bytes in turn.
struct ByteTables {
    std::array<char16_t, 256> shown{};
    std::array<std::u16string, 256> folded;
    ByteTables() {
        for (int byte = 0; byte < 256; ++byte) {
            const auto unit = static_cast<char16_t>(Win1252ToCodePoint(static_cast<unsigned char>(byte)));
            shown[static_cast<std::size_t>(byte)] = unit;
            const QString fold = QString(QChar(unit)).toCaseFolded();
            folded[static_cast<std::size_t>(byte)].assign(reinterpret_cast<const char16_t*>(fold.utf16()), static_cast<std::size_t>(fold.size()));
        }
    }
};

const ByteTables& Tables() {
    static const ByteTables tables;
    return tables;
}

}  // namespace

void CardSortKeys::Reserve(std::size_t names) {
    entries.reserve(names);
    folded.reserve(names * 12);
}

void CardSortKeys::Add(std::string_view bytes, int index) {
    const ByteTables& tables = Tables();
    const std::size_t start = folded.size();
    for (const char byte : bytes) folded += tables.folded[static_cast<unsigned char>(byte)];
    const std::size_t length = folded.size() - start;
    entries.push_back(Entry{0, 0, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length), index});
}

void CardSortKeys::LoadWords(Entry& entry, std::size_t depth) const {
    std::uint64_t words[2] = {0, 0};
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t at = depth + i;
        words[i / 4] = (words[i / 4] << 16) | (at < entry.length ? folded[entry.offset + at] : 0u);
    }
    entry.head = words[0];
    entry.next = words[1];
}

void CardSortKeys::SortFrom(Entry* first, Entry* last, std::size_t depth) {
    for (Entry* entry = first; entry != last; ++entry) LoadWords(*entry, depth);
    const std::size_t window = depth + 8;
    // Past its end a name reads as zeros, so equal words still part a shorter name from a longer
    // one holding zeros: the shorter (a prefix of the other) goes first. Names that end in this
    // window and read the same are equal: list order. Those that go on are ordered below.
    auto ends = [window](const Entry& entry) { return entry.length <= window; };
    std::sort(first, last, [&ends](const Entry& a, const Entry& b) {
        if (a.head != b.head) return a.head < b.head;
        if (a.next != b.next) return a.next < b.next;
        if (ends(a) != ends(b)) return ends(a);
        if (a.length != b.length && ends(a)) return a.length < b.length;
        return a.index < b.index;
    });
    for (Entry* run = first; run != last;) {
        Entry* end = run + 1;
        if (!ends(*run))
            while (end != last && end->head == run->head && end->next == run->next && !ends(*end)) ++end;
        if (end - run > 1 && !ends(*run)) SortFrom(run, end, window);
        run = end;
    }
}

std::vector<int> CardSortKeys::SortedIndexes() {
    SortFrom(entries.data(), entries.data() + entries.size(), 0);
    std::vector<int> order;
    order.reserve(entries.size());
    for (const Entry& entry : entries) order.push_back(entry.index);
    return order;
}

QString CardSortKeys::Text(std::string_view bytes) {
    const ByteTables& tables = Tables();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = QChar(tables.shown[static_cast<unsigned char>(bytes[i])]);
    return text;
}

bool CardSortKeys::Shows(const QString& text, std::string_view bytes) {
    if (static_cast<std::size_t>(text.size()) != bytes.size()) return false;
    const ByteTables& tables = Tables();
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (units[i] != tables.shown[static_cast<unsigned char>(bytes[i])]) return false;
    return true;
}

}  // namespace tessarel
