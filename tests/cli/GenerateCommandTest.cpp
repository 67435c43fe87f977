// tessarel-cli generate: one password per run on standard output, shaped by the options; wrong
// options are usage errors (status 2) that say what is wrong.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <string>

#include "CliProcess.h"

namespace tessarel::testing {
namespace {

constexpr const char* kUsage =
    "usage: tessarel-cli generate [--length N] [--classes ulds] [--no-lookalikes] [--words N [--separator S]]\n";

std::string Line(const CliRun& run) {
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(run.out.empty());
    EXPECT_EQ(run.out.back(), '\n');
    return run.out.substr(0, run.out.size() - 1);
}

TEST(GenerateCommand, PrintsOnePasswordShapedByTheOptions) {
    const std::string plain = Line(RunCli({"generate"}));
    EXPECT_EQ(plain.size(), 20u);
    const std::string digits = Line(RunCli({"generate", "--length", "8", "--classes", "d"}));
    EXPECT_EQ(digits.size(), 8u);
    for (char c : digits) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c))) << digits;
    const std::string upperSymbols = Line(RunCli({"generate", "--length=128", "--classes=su", "--no-lookalikes"}));
    EXPECT_EQ(upperSymbols.size(), 128u);
    bool upper = false, symbol = false;
    for (char c : upperSymbols) {
        upper = upper || std::isupper(static_cast<unsigned char>(c));
        symbol = symbol || std::ispunct(static_cast<unsigned char>(c));
        EXPECT_EQ(std::string("0Oo1lI|5S2Z8B6G`'").find(c), std::string::npos) << upperSymbols;
        EXPECT_FALSE(std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c))) << upperSymbols;
    }
    EXPECT_TRUE(upper && symbol) << upperSymbols;
    EXPECT_NE(Line(RunCli({"generate"})), plain);
}

TEST(GenerateCommand, PassphrasesComeFromTheEffList) {
    std::ifstream file("/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt");
    std::set<std::string> list;
    std::string dice, word;
    while (file >> dice >> word) list.insert(word);
    ASSERT_EQ(list.size(), 7776u);
    const struct {
        std::vector<std::string> arguments;
        char separator;
        std::size_t words;
    } cases[] = {
        {{"generate", "--words", "4"}, '-', 4},
        {{"generate", "--words", "12", "--separator", " "}, ' ', 12},
        {{"generate", "--words=5", "--separator=."}, '.', 5},
    };
    for (const auto& c : cases) {
        const std::string phrase = Line(RunCli(c.arguments));
        std::vector<std::string> words;
        std::string current;
        for (char ch : phrase + c.separator) {
            if (ch != c.separator) {
                current += ch;
                continue;
            }
            words.push_back(current);
            current.clear();
        }
        // "-" also sits inside four words (t-shirt): a piece is then a word or half of one.
        if (c.separator == '-') {
            EXPECT_GE(words.size(), c.words) << phrase;
            for (const std::string& w : words) EXPECT_TRUE(!w.empty() && w.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos) << w;
            continue;
        }
        EXPECT_EQ(words.size(), c.words) << phrase;
        for (const std::string& w : words) EXPECT_EQ(list.count(w), 1u) << w;
    }
}

TEST(GenerateCommand, WrongOptionsAreUsageErrorsThatSayWhy) {
    const struct {
        std::vector<std::string> arguments;
        std::string reason;  // empty: the usage line alone
    } cases[] = {
        {{"generate", "--length", "7"}, "The length must be between 8 and 128 characters."},
        {{"generate", "--length", "129"}, "The length must be between 8 and 128 characters."},
        {{"generate", "--length", "twenty"}, "--length needs a whole number, not 'twenty'."},
        {{"generate", "--length", "20x"}, "--length needs a whole number, not '20x'."},
        {{"generate", "--classes", ""}, "Choose at least one character class."},
        {{"generate", "--classes", "ulx"}, "--classes takes the letters u (upper case), l (lower case), d (digits) and s (symbols), not 'ulx'."},
        {{"generate", "--words", "3"}, "The number of words must be between 4 and 12."},
        {{"generate", "--words", "13"}, "The number of words must be between 4 and 12."},
        {{"generate", "--words", "6", "--separator", "123456789"}, "The separator may be at most 8 characters long."},
        {{"generate", "--words", "6", "--separator", "\xC3\xA9"}, "The separator may hold only printable ASCII characters (letters, digits, punctuation and the space)."},
        {{"generate", "--words", "6", "--length", "20"}, "--words makes a passphrase; it does not go with --length, --classes or --no-lookalikes."},
        {{"generate", "--separator", "+"}, "--separator goes with --words."},
        {{"generate", "--length"}, ""},
        {{"generate", "--colour", "red"}, ""},
        {{"generate", "extra"}, ""},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, (c.reason.empty() ? std::string() : "tessarel-cli: " + c.reason + "\n") + kUsage);
    }
}

TEST(GenerateCommand, AnswersHelp) {
    const CliRun run = RunCli({"generate", "--help"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, kUsage);
}

}  // namespace
}  // namespace tessarel::testing
