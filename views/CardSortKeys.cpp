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
    std::uint64_t words[2] = {0, 0};
    for (std::size_t i = 0; i < 8; ++i) words[i / 4] = (words[i / 4] << 16) | (i < length ? folded[start + i] : 0u);
    entries.push_back(Entry{words[0], words[1], static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length), index});
}

bool CardSortKeys::Less(const Entry& a, const Entry& b) const {
    // Equal prefixes may still hide a shorter name (padded with zeros): the whole names decide.
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    const std::u16string_view nameA(folded.data() + a.offset, a.length);
    const std::u16string_view nameB(folded.data() + b.offset, b.length);
    const int order = nameA.compare(nameB);
    return order != 0 ? order < 0 : a.index < b.index;
}

std::vector<int> CardSortKeys::SortedIndexes() {
    std::sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) { return Less(a, b); });
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
