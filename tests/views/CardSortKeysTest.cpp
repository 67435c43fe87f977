// The tree's names and their order, made without a string per name: they must equal what the
// general conversions give (every Windows-1252 byte, names of every length) and sort exactly as
// a stable sort by QString::toCaseFolded does.
#include <QString>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "mainframe/dialogs/CardText.h"
#include "views/CardSortKeys.h"

namespace tessarel {
namespace {

TEST(CardSortKeys, EveryByteShowsAsTheCardTextConversionGivesIt) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string name = std::string("a") + static_cast<char>(byte) + "Z";
        const QString expected = CardTextToQString(name);
        EXPECT_EQ(CardSortKeys::Text(name), expected) << byte;
        EXPECT_TRUE(CardSortKeys::Shows(expected, name)) << byte;
    }
}

TEST(CardSortKeys, ShowsIsFalseForAnyOtherText) {
    const struct {
        const char* shown;
        std::string bytes;
    } cases[] = {
        {"abc", "abd"}, {"abc", "ab"}, {"ab", "abc"}, {"", "a"}, {"ABC", "abc"}, {"\xE2\x82\xAC", "\x81"},
    };
    for (const auto& c : cases) EXPECT_FALSE(CardSortKeys::Shows(QString::fromUtf8(c.shown), c.bytes)) << c.shown;
    EXPECT_TRUE(CardSortKeys::Shows(QString::fromUtf8("\xE2\x82\xAC"), "\x80"));
    EXPECT_TRUE(CardSortKeys::Shows(QString(), ""));
}

TEST(CardSortKeys, OrderIsTheStableSortByFoldedName) {
    // Short alphabets, so that names repeat, share prefixes of every length up to and well past
    // the eight characters compared at a time, differ only in case or in letters that fold to
    // several, or only in trailing zero bytes (which read like the end of a shorter name).
    const std::vector<std::string> alphabets = {
        "aAbB", std::string("sS\xDF") + "\xDE\xFE", std::string("\x8A\x9A\x8C\x9C\x9F\xFF") + "yY",
        std::string("\x01 ~") + "\x7F\x80\xA0", std::string("a\0", 2), "aaaaaaaaaaaaaaab",
    };
    std::mt19937 random(7);
    for (const std::string& alphabet : alphabets) {
        std::vector<std::string> names;
        for (int i = 0; i < 3000; ++i) {
            std::string name;
            const int length = std::uniform_int_distribution<int>(0, 26)(random);
            for (int k = 0; k < length; ++k) name += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
            names.push_back(name);
        }
        CardSortKeys keys;
        std::vector<int> expected;
        for (int i = 0; i < static_cast<int>(names.size()); ++i) {
            keys.Add(names[static_cast<std::size_t>(i)], i);
            expected.push_back(i);
        }
        std::stable_sort(expected.begin(), expected.end(), [&names](int a, int b) {
            return CardTextToQString(names[static_cast<std::size_t>(a)]).toCaseFolded() <
                   CardTextToQString(names[static_cast<std::size_t>(b)]).toCaseFolded();
        });
        EXPECT_EQ(keys.SortedIndexes(), expected) << alphabet;
    }
}

// The sort from former rows lays the names out by those rows and merges the sorted runs it finds
// (or sorts them all when the runs are many): whatever rows it is given, stale, repeated, out of
// range or none, the order must be the one the plain sort gives, on the same keys after a plain
// sort and on keys cleared and filled again.
TEST(CardSortKeys, TheOrderFromFormerRowsIsThePlainOrderWhateverTheRows) {
    const std::vector<std::string> alphabets = {
        "aAbB", std::string("sS\xDF") + "\xDE\xFE", std::string("a\0", 2), "aaaaaaaaaaaaaaab", "card 0123456789",
    };
    std::mt19937 random(11);
    std::vector<std::vector<std::string>> nameSets;
    for (const std::string& alphabet : alphabets) {
        std::vector<std::string>& names = nameSets.emplace_back();
        for (int i = 0; i < 2000; ++i) {
            std::string name;
            const int length = std::uniform_int_distribution<int>(0, 20)(random);
            for (int k = 0; k < length; ++k) name += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
            names.push_back(name);
        }
    }
    // Few names that read alike but for trailing zeros or for characters past the twelfth, among
    // names that differ early: laid out as sorted they are one run, which only a right comparison
    // of such names keeps.
    using namespace std::string_literals;
    nameSets.push_back({"Ab\0"s, "ab"s, "b"s, "ab\0\0"s, "AB"s, "a"s, "abcdefghijklmnop"s, "abcdefghijklmnoq"s, "ABCDEFGHIJKLMNOP"s,
                        "abcdefghijkl"s, "abcdefghijkl\0"s, "c"s, "ab\0c"s, "abcdefghijklm"s});
    CardSortKeys reused;
    for (const std::vector<std::string>& names : nameSets) {
        // The cases are told apart by their first name.
        const std::string& first = names.front();
        const int count = static_cast<int>(names.size());
        auto filled = [&names](CardSortKeys& keys) {
            for (int i = 0; i < static_cast<int>(names.size()); ++i) keys.Add(names[static_cast<std::size_t>(i)], i);
        };
        CardSortKeys plain;
        filled(plain);
        const std::vector<int> expected = plain.SortedIndexes();
        std::vector<int> asSorted(names.size());
        for (int row = 0; row < count; ++row) asSorted[static_cast<std::size_t>(expected[static_cast<std::size_t>(row)])] = row;
        std::vector<int> fewMoved = asSorted;
        for (int swaps = 0; swaps < 5; ++swaps)
            std::swap(fewMoved[std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(random)],
                      fewMoved[std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(random)]);
        std::vector<int> shifted = asSorted, reversed = asSorted, shuffled = asSorted, outOfRange = asSorted;
        for (int& row : shifted) row += row >= count / 2 ? 1 : 0;
        for (int& row : reversed) row = count - 1 - row;
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        for (std::size_t at = 0; at < outOfRange.size(); at += 3) outOfRange[at] = at % 2 ? -7 : count + 3;
        const struct {
            const char* what;
            std::vector<int> places;
        } layouts[] = {
            {"none", {}},
            {"as sorted", asSorted},
            {"as sorted, a few moved", fewMoved},
            {"as sorted, later rows one down", shifted},
            {"reversed", reversed},
            {"shuffled", shuffled},
            {"every name on row 0", std::vector<int>(names.size(), 0)},
            {"some out of range", outOfRange},
            {"for the first half only", std::vector<int>(asSorted.begin(), asSorted.begin() + count / 2)},
        };
        for (const auto& layout : layouts) {
            CardSortKeys keys;
            filled(keys);
            EXPECT_EQ(keys.SortedIndexes(layout.places), expected) << first << ", " << layout.what;
            reused.Clear();
            filled(reused);
            EXPECT_EQ(reused.SortedIndexes(layout.places), expected) << first << ", " << layout.what << ", keys cleared";
            EXPECT_EQ(plain.SortedIndexes(layout.places), expected) << first << ", " << layout.what << ", after a plain sort";
        }
    }
}

}  // namespace
}  // namespace tessarel
