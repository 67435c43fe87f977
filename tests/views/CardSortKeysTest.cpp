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

}  // namespace
}  // namespace tessarel
