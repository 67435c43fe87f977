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
    Entry& entry = entries.emplace_back(Entry{0, 0, 0, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length), index});
    // The words of the name's start while its characters are at hand.
    LoadWords(entry, 0);
    entry.third = Word(entry, 8);
}

std::uint64_t CardSortKeys::Word(const Entry& entry, std::size_t from) const {
    std::uint64_t word = 0;
    for (std::size_t at = from; at < from + 4; ++at) word = (word << 16) | (at < entry.length ? folded[entry.offset + at] : 0u);
    return word;
}

void CardSortKeys::LoadWords(Entry& entry, std::size_t depth) const {
    entry.head = Word(entry, depth);
    entry.next = Word(entry, depth + 4);
}

void CardSortKeys::SortFrom(Entry* first, Entry* last, std::size_t depth) {
    wordsFromStart = false;
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
    IndexesOf(entries, order);
    return order;
}

void CardSortKeys::Clear() {
    entries.clear();
    folded.clear();
    wordsFromStart = true;
}

void CardSortKeys::IndexesOf(const std::vector<Entry>& sorted, std::vector<int>& order) {
    order.resize(sorted.size());
    for (std::size_t at = 0; at < sorted.size(); ++at) order[at] = sorted[at].index;
}

std::vector<int> CardSortKeys::SortedIndexes(const std::vector<int>& places) {
    std::vector<int> order;
    SortedIndexes(places, order);
    return order;
}

void CardSortKeys::SortedIndexes(const std::vector<int>& places, std::vector<int>& order) {
    // The entries laid out by their former rows (a counting sort: equal rows in the order added,
    // names without a row after all others).
    const std::size_t count = entries.size();
    auto rowOf = [&places, count](std::size_t added) {
        const int place = added < places.size() ? places[added] : -1;
        return place >= 0 && static_cast<std::size_t>(place) < count ? static_cast<std::size_t>(place) : count;
    };
    rowStarts.assign(count + 2, 0);
    for (std::size_t added = 0; added < count; ++added) ++rowStarts[rowOf(added) + 1];
    for (std::size_t row = 1; row < rowStarts.size(); ++row) rowStarts[row] += rowStarts[row - 1];
    laidOut.resize(count);
    for (std::size_t added = 0; added < count; ++added) {
        Entry& entry = laidOut[rowStarts[rowOf(added)]++];
        entry = entries[added];
        if (!wordsFromStart) LoadWords(entry, 0);
    }
    if (MergeRuns()) {
        IndexesOf(laidOut, order);
        return;
    }
    SortFrom(entries.data(), entries.data() + entries.size(), 0);
    IndexesOf(entries, order);
}

bool CardSortKeys::Less(const Entry& a, const Entry& b) const {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    if (a.third != b.third) return a.third < b.third;
    // Equal words may still hide a difference: one name ending where the other holds zeros, or
    // characters past the twelfth. Names that end within the words are equal but for trailing
    // zeros: the shorter (a prefix of the other) first. Longer ones are decided by the folded
    // names, a prefix first; then the list order.
    constexpr std::uint32_t kInWords = 12;
    if (a.length <= kInWords && b.length <= kInWords) return a.length != b.length ? a.length < b.length : a.index < b.index;
    const std::u16string_view names(folded);
    const int byName = names.substr(a.offset, a.length).compare(names.substr(b.offset, b.length));
    return byName != 0 ? byName < 0 : a.index < b.index;
}

bool CardSortKeys::MergeRuns() {
    // Where each sorted run ends. Past this many runs the passes of merging cost more than the
    // sort they save.
    constexpr std::size_t kMostRuns = 64;
    runEnds.clear();
    for (std::size_t at = 1; at < laidOut.size(); ++at) {
        if (!Less(laidOut[at], laidOut[at - 1])) continue;
        if (runEnds.size() == kMostRuns) return false;
        runEnds.push_back(at);
    }
    runEnds.push_back(laidOut.size());
    const auto less = [this](const Entry& a, const Entry& b) { return Less(a, b); };
    if (runEnds.size() > 1) other.resize(laidOut.size());
    while (runEnds.size() > 1) {
        // Each pair of neighbouring runs becomes one; an odd last run is copied over as it is.
        mergedEnds.clear();
        std::size_t begin = 0;
        for (std::size_t run = 0; run < runEnds.size(); run += 2) {
            const std::size_t middle = runEnds[run];
            const std::size_t end = run + 1 < runEnds.size() ? runEnds[run + 1] : middle;
            std::merge(laidOut.begin() + static_cast<std::ptrdiff_t>(begin), laidOut.begin() + static_cast<std::ptrdiff_t>(middle),
                       laidOut.begin() + static_cast<std::ptrdiff_t>(middle), laidOut.begin() + static_cast<std::ptrdiff_t>(end),
                       other.begin() + static_cast<std::ptrdiff_t>(begin), less);
            mergedEnds.push_back(end);
            begin = end;
        }
        laidOut.swap(other);
        runEnds.swap(mergedEnds);
    }
    return true;
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
