// The password generator against what a card and a person need: the length and classes asked for,
// no look-alikes when they are excluded, only characters a card holds unchanged, passphrases of
// the built-in EFF list, clear refusals of impossible options, the entropy of the draw, and choices
// made without modulo bias.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <deque>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cardstore/EffWordList.h"
#include "cardstore/PasswordGenerator.h"
#include "cardstore/RandomSource.h"

namespace tessarel {
namespace {

// The look-alike set as the documentation states it.
const std::string kLookAlikes = "0Oo1lI|5S2Z8B6G`'";

GeneratorOptions Characters(int length, unsigned classes, bool excludeLookAlikes = false) {
    GeneratorOptions options;
    options.length = length;
    options.classes = classes;
    options.excludeLookAlikes = excludeLookAlikes;
    return options;
}

GeneratorOptions Passphrase(int words, std::string separator) {
    GeneratorOptions options;
    options.passphrase = true;
    options.words = words;
    options.separator = std::move(separator);
    return options;
}

bool IsSymbol(char c) { return std::ispunct(static_cast<unsigned char>(c)) != 0; }

// The class bits of a password, found with the C library's own character tests.
unsigned ClassesIn(const SecureString& password) {
    unsigned found = 0;
    for (char c : password) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isupper(u)) found |= kUpperCase;
        if (std::islower(u)) found |= kLowerCase;
        if (std::isdigit(u)) found |= kDigits;
        if (IsSymbol(c)) found |= kSymbols;
    }
    return found;
}

TEST(PasswordGenerator, CharactersHoldTheLengthEveryChosenClassAndNothingElse) {
    const GeneratorOptions cases[] = {
        Characters(8, kAllClasses),           Characters(128, kAllClasses),
        Characters(8, kAllClasses, true),     Characters(20, kDigits),
        Characters(8, kDigits, true),         Characters(12, kUpperCase | kSymbols, true),
        Characters(9, kLowerCase | kDigits),  Characters(40, kSymbols),
    };
    SystemRandom random;
    for (const GeneratorOptions& options : cases) {
        SCOPED_TRACE("length " + std::to_string(options.length) + " classes " + ClassLetters(options.classes) +
                     (options.excludeLookAlikes ? " without look-alikes" : ""));
        for (int draw = 0; draw < 300; ++draw) {
            const SecureString password = GeneratePassword(options, random);
            ASSERT_EQ(password.size(), static_cast<std::size_t>(options.length));
            ASSERT_EQ(ClassesIn(password), options.classes) << password;
            for (char c : password) {
                // Printable ASCII without the space: the same single byte in Windows-1252.
                ASSERT_TRUE(c > 0x20 && c < 0x7F) << int(c);
                if (options.excludeLookAlikes) {
                    ASSERT_EQ(kLookAlikes.find(c), std::string::npos) << password;
                }
            }
        }
    }
}

TEST(PasswordGenerator, LookAlikesAreLeftOutOfEveryClassAndOnlyThem) {
    const std::vector<std::string> all = ClassAlphabets(kAllClasses, false);
    const std::vector<std::string> kept = ClassAlphabets(kAllClasses, true);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].size(), 26u);
    EXPECT_EQ(all[1].size(), 26u);
    EXPECT_EQ(all[2].size(), 10u);
    EXPECT_EQ(all[3].size(), 32u);
    EXPECT_EQ(LookAlikeCharacters(), kLookAlikes);
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::string expected;
        for (char c : all[i])
            if (kLookAlikes.find(c) == std::string::npos) expected += c;
        EXPECT_EQ(kept[i], expected);
    }
    EXPECT_EQ(kept[2], "3479");
}

// Whether `text` is exactly `words` words of the list joined by `separator`. Searched over every
// split, since some words hold a hyphen and the separator may be empty.
bool IsPassphrase(std::string_view text, int words, std::string_view separator, const std::set<std::string_view>& list) {
    if (words == 0) return text.empty();
    for (std::size_t end = 1; end <= text.size(); ++end) {
        if (list.count(text.substr(0, end)) == 0) continue;
        std::string_view rest = text.substr(end);
        if (words == 1) {
            if (rest.empty()) return true;
            continue;
        }
        if (rest.substr(0, separator.size()) != separator) continue;
        if (IsPassphrase(rest.substr(separator.size()), words - 1, separator, list)) return true;
    }
    return false;
}

TEST(PasswordGenerator, PassphrasesAreWordsOfTheListJoinedByTheSeparator) {
    const auto& list = EffLongWordList();
    const std::set<std::string_view> words(list.begin(), list.end());
    const GeneratorOptions cases[] = {Passphrase(4, "-"), Passphrase(12, " "), Passphrase(6, ""), Passphrase(5, "+=+"),
                                      Passphrase(7, "12345678")};
    SystemRandom random;
    for (const GeneratorOptions& options : cases) {
        SCOPED_TRACE(std::to_string(options.words) + " words, separator '" + options.separator + "'");
        for (int draw = 0; draw < 100; ++draw) {
            const SecureString passphrase = GeneratePassword(options, random);
            ASSERT_TRUE(IsPassphrase(passphrase, options.words, options.separator, words)) << passphrase;
            for (char c : passphrase) ASSERT_TRUE(c >= 0x20 && c < 0x7F) << int(c);
        }
    }
}

TEST(PasswordGenerator, TheBuiltInListIsThePackagesEffLongList) {
    std::ifstream file("/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt");
    ASSERT_TRUE(file) << "the diceware package's list is part of the build";
    const auto& list = EffLongWordList();
    std::string dice, word;
    std::size_t i = 0;
    while (file >> dice >> word) {
        ASSERT_LT(i, list.size());
        EXPECT_EQ(list[i], word) << dice;
        ++i;
    }
    EXPECT_EQ(i, 7776u);
    EXPECT_EQ(std::set<std::string_view>(list.begin(), list.end()).size(), 7776u);
}

TEST(PasswordGenerator, ImpossibleOptionsAreRefusedWithTheirReason) {
    GeneratorOptions unknownClass = Characters(20, kAllClasses);
    unknownClass.classes = 16;
    const struct {
        GeneratorOptions options;
        std::string message;
    } cases[] = {
        {Characters(7, kAllClasses), "The length must be between 8 and 128 characters."},
        {Characters(129, kAllClasses), "The length must be between 8 and 128 characters."},
        {Characters(-1, kAllClasses), "The length must be between 8 and 128 characters."},
        {Characters(20, 0), "Choose at least one character class."},
        {unknownClass, "Choose at least one character class."},
        {Passphrase(3, "-"), "The number of words must be between 4 and 12."},
        {Passphrase(13, "-"), "The number of words must be between 4 and 12."},
        {Passphrase(6, "123456789"), "The separator may be at most 8 characters long."},
        {Passphrase(6, "\t"), "The separator may hold only printable ASCII characters (letters, digits, punctuation and the space)."},
        {Passphrase(6, "\xE9"), "The separator may hold only printable ASCII characters (letters, digits, punctuation and the space)."},
    };
    SystemRandom random;
    for (const auto& c : cases) {
        EXPECT_EQ(CheckGeneratorOptions(c.options), c.message);
        EXPECT_EQ(EntropyBits(c.options), 0.0);
        try {
            GeneratePassword(c.options, random);
            ADD_FAILURE() << "generated for: " << c.message;
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
    // The edges themselves are allowed.
    for (const GeneratorOptions& options : {Characters(8, kDigits), Characters(128, kSymbols), Passphrase(4, ""), Passphrase(12, "~ ~")})
        EXPECT_EQ(CheckGeneratorOptions(options), "");
}

TEST(PasswordGenerator, ClassLettersReadAndWriteTheCommandLineForm) {
    EXPECT_EQ(ParseClassLetters("ulds"), std::optional<unsigned>(kAllClasses));
    EXPECT_EQ(ParseClassLetters("sd"), std::optional<unsigned>(kDigits | kSymbols));
    EXPECT_EQ(ParseClassLetters(""), std::optional<unsigned>(0u));
    EXPECT_EQ(ParseClassLetters("ulx"), std::nullopt);
    EXPECT_EQ(ParseClassLetters("U"), std::nullopt);
    EXPECT_EQ(ClassLetters(kLowerCase | kSymbols), "ls");
}

// The number of strings of `length` over classes of the given sizes that hold every class, counted
// position by position over the set of classes seen so far (not by inclusion and exclusion).
double CountHoldingEveryClass(const std::vector<double>& sizes, int length) {
    const std::size_t states = std::size_t{1} << sizes.size();
    std::vector<double> count(states, 0.0);
    count[0] = 1.0;
    for (int position = 0; position < length; ++position) {
        std::vector<double> next(states, 0.0);
        for (std::size_t seen = 0; seen < states; ++seen)
            for (std::size_t k = 0; k < sizes.size(); ++k) next[seen | (std::size_t{1} << k)] += count[seen] * sizes[k];
        count = next;
    }
    return count[states - 1];
}

TEST(PasswordGenerator, EntropyIsThatOfEveryPasswordTheOptionsAllow) {
    EXPECT_DOUBLE_EQ(EntropyBits(Characters(20, kLowerCase)), 20 * std::log2(26.0));
    EXPECT_DOUBLE_EQ(EntropyBits(Characters(8, kDigits, true)), 8 * std::log2(4.0));
    EXPECT_DOUBLE_EQ(EntropyBits(Passphrase(6, "-")), 6 * std::log2(7776.0));
    EXPECT_NEAR(EntropyBits(Passphrase(6, "-")), 77.55, 0.01);
    const struct {
        GeneratorOptions options;
        std::vector<double> sizes;
    } cases[] = {
        {Characters(8, kAllClasses), {26, 26, 10, 32}},
        {Characters(20, kAllClasses), {26, 26, 10, 32}},
        {Characters(128, kAllClasses), {26, 26, 10, 32}},
        {Characters(8, kAllClasses, true), {20, 24, 4, 29}},
        {Characters(10, kUpperCase | kDigits, true), {20, 4}},
    };
    for (const auto& c : cases) {
        const double expected = std::log2(CountHoldingEveryClass(c.sizes, c.options.length));
        EXPECT_NEAR(EntropyBits(c.options), expected, 1e-9 * expected) << c.options.length << " " << ClassLetters(c.options.classes);
    }
    // Requiring every class costs a little: 8 characters of all four classes are not 8 × log2(94) bits.
    EXPECT_LT(EntropyBits(Characters(8, kAllClasses)), 8 * std::log2(94.0) - 1.0);
}

// Hands out the bytes a test chose, and counts what was taken.
class ScriptedBytes : public RandomSource {
public:
    explicit ScriptedBytes(std::deque<std::uint8_t> bytes_) : bytes(std::move(bytes_)) {}
    void Fill(std::span<std::uint8_t> out) override {
        for (std::uint8_t& b : out) {
            if (bytes.empty()) throw RandomUnavailable("the script ran out of bytes");
            b = bytes.front();
            bytes.pop_front();
        }
    }
    std::deque<std::uint8_t> bytes;
};

std::deque<std::uint8_t> LittleEndian(std::initializer_list<std::uint32_t> words) {
    std::deque<std::uint8_t> bytes;
    for (std::uint32_t w : words)
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
    return bytes;
}

TEST(RandomSource, ValuesThatWouldFavourSomeChoicesAreDrawnAgain) {
    // 94 choices: 188 is the largest multiple of 94 below 256, so 188 to 255 are drawn again.
    ScriptedBytes small({255, 188, 187, 0});
    EXPECT_EQ(small.Below(94), 187u % 94u);
    EXPECT_EQ(small.bytes.size(), 1u);
    EXPECT_EQ(small.Below(94), 0u);
    // 7776 words: the top 2^32 mod 7776 values are drawn again.
    const std::uint32_t limit = static_cast<std::uint32_t>((std::uint64_t{1} << 32) - (std::uint64_t{1} << 32) % 7776);
    ScriptedBytes words(LittleEndian({0xFFFFFFFFu, limit, limit - 1, 7777}));
    EXPECT_EQ(words.Below(7776), (limit - 1) % 7776);
    EXPECT_EQ(words.Below(7776), 1u);
    // One choice takes no randomness at all.
    ScriptedBytes none({});
    EXPECT_EQ(none.Below(1), 0u);
    EXPECT_THROW(none.Below(0), std::invalid_argument);
}

TEST(RandomSource, APasswordMissingAChosenClassIsDrawnAgainWhole) {
    // Lower case and digits: the alphabet "a…z0…9" (36), bytes below 252 taken as they are.
    std::deque<std::uint8_t> bytes = {0, 1, 2, 3, 4, 5, 6, 7};      // "abcdefgh": no digit
    for (std::uint8_t b : {std::uint8_t{26}, std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{4}, std::uint8_t{5},
                           std::uint8_t{6}, std::uint8_t{35}})
        bytes.push_back(b);  // "0bcdefg9"
    ScriptedBytes script(bytes);
    EXPECT_EQ(GeneratePassword(Characters(8, kLowerCase | kDigits), script), "0bcdefg9");
    EXPECT_TRUE(script.bytes.empty());
}

TEST(RandomSource, TheSystemGeneratorFillsAcrossItsBlocks) {
    SystemRandom random;
    std::vector<std::uint8_t> first(10000), second(10000);
    random.Fill(first);
    random.Fill(second);
    EXPECT_NE(first, second);
    // Every byte value turns up in 10,000 random bytes (missing one has odds of about 256·e^-39).
    EXPECT_EQ(std::set<std::uint8_t>(first.begin(), first.end()).size(), 256u);
}

}  // namespace
}  // namespace tessarel
