#include "PasswordGenerator.h"

#include <array>
#include <cmath>
#include <stdexcept>

#include "EffWordList.h"

namespace tessarel {

namespace {

constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kDigitCharacters = "0123456789";
// Every printable ASCII character that is neither a letter, a digit nor the space: each is the
// same single byte in Windows-1252, so a card stores it as it is typed anywhere.
constexpr std::string_view kSymbolCharacters = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
constexpr std::string_view kLookAlikes = "0Oo1lI|5S2Z8B6G`'";
constexpr std::string_view kClassLetters = "ulds";

std::string WithoutLookAlikes(std::string_view characters) {
    std::string kept;
    for (char c : characters)
        if (kLookAlikes.find(c) == std::string_view::npos) kept += c;
    return kept;
}

bool PrintableAscii(char c) { return c >= 0x20 && c <= 0x7E; }

std::string CheckCharacterOptions(const GeneratorOptions& options) {
    if (options.length < kMinPasswordLength || options.length > kMaxPasswordLength)
        return "The length must be between 8 and 128 characters.";
    if ((options.classes & kAllClasses) == 0 || (options.classes & ~unsigned{kAllClasses}) != 0)
        return "Choose at least one character class.";
    return {};
}

std::string CheckPassphraseOptions(const GeneratorOptions& options) {
    if (options.words < kMinPassphraseWords || options.words > kMaxPassphraseWords)
        return "The number of words must be between 4 and 12.";
    if (options.separator.size() > kMaxSeparatorLength) return "The separator may be at most 8 characters long.";
    for (char c : options.separator)
        if (!PrintableAscii(c)) return "The separator may hold only printable ASCII characters (letters, digits, punctuation and the space).";
    return {};
}

// Draws strings over the union of the classes until one holds every class. Rejecting whole
// strings keeps every valid password equally likely (placing one character of each class first
// and shuffling would not), which is what makes the entropy exact.
SecureString GenerateCharacters(const GeneratorOptions& options, RandomSource& random) {
    const std::vector<std::string> alphabets = ClassAlphabets(options.classes, options.excludeLookAlikes);
    std::string alphabet;
    std::array<std::uint8_t, 256> classOf{};
    for (std::size_t i = 0; i < alphabets.size(); ++i) {
        alphabet += alphabets[i];
        for (char c : alphabets[i]) classOf[static_cast<unsigned char>(c)] = static_cast<std::uint8_t>(1u << i);
    }
    const unsigned wanted = (1u << alphabets.size()) - 1;
    const auto size = static_cast<std::uint32_t>(alphabet.size());
    SecureString password(static_cast<std::size_t>(options.length), '\0');
    for (;;) {
        unsigned seen = 0;
        for (char& c : password) {
            c = alphabet[random.Below(size)];
            seen |= classOf[static_cast<unsigned char>(c)];
        }
        if (seen == wanted) return password;
    }
}

SecureString GeneratePassphrase(const GeneratorOptions& options, RandomSource& random) {
    const auto& words = EffLongWordList();
    SecureString passphrase;
    passphrase.reserve(static_cast<std::size_t>(options.words) * (9 + options.separator.size()));
    for (int i = 0; i < options.words; ++i) {
        if (i > 0) passphrase.append(options.separator);
        passphrase.append(words[random.Below(static_cast<std::uint32_t>(words.size()))]);
    }
    return passphrase;
}

}  // namespace

std::string_view LookAlikeCharacters() { return kLookAlikes; }

std::vector<std::string> ClassAlphabets(unsigned classes, bool excludeLookAlikes) {
    const std::array<std::string_view, 4> all = {kUpper, kLower, kDigitCharacters, kSymbolCharacters};
    std::vector<std::string> alphabets;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if ((classes & (1u << i)) == 0) continue;
        alphabets.push_back(excludeLookAlikes ? WithoutLookAlikes(all[i]) : std::string(all[i]));
    }
    return alphabets;
}

std::optional<unsigned> ParseClassLetters(std::string_view letters) {
    unsigned classes = 0;
    for (char c : letters) {
        const std::size_t at = kClassLetters.find(c);
        if (at == std::string_view::npos) return std::nullopt;
        classes |= 1u << at;
    }
    return classes;
}

std::string ClassLetters(unsigned classes) {
    std::string letters;
    for (std::size_t i = 0; i < kClassLetters.size(); ++i)
        if (classes & (1u << i)) letters += kClassLetters[i];
    return letters;
}

std::string CheckGeneratorOptions(const GeneratorOptions& options) {
    return options.passphrase ? CheckPassphraseOptions(options) : CheckCharacterOptions(options);
}

double EntropyBits(const GeneratorOptions& options) {
    if (!CheckGeneratorOptions(options).empty()) return 0.0;
    if (options.passphrase) return options.words * std::log2(static_cast<double>(kEffWordCount));
    const std::vector<std::string> alphabets = ClassAlphabets(options.classes, options.excludeLookAlikes);
    double total = 0;
    for (const std::string& alphabet : alphabets) total += static_cast<double>(alphabet.size());
    // The share of all strings over the alphabet that hold every class: the alternating sum over
    // the sets S of classes left out of (|alphabet| - |S's characters|)^length / |alphabet|^length.
    double share = 0;
    const unsigned subsets = 1u << alphabets.size();
    for (unsigned left = 0; left < subsets; ++left) {
        double missing = 0;
        int count = 0;
        for (std::size_t i = 0; i < alphabets.size(); ++i)
            if (left & (1u << i)) {
                missing += static_cast<double>(alphabets[i].size());
                ++count;
            }
        const double term = std::pow((total - missing) / total, options.length);
        share += count % 2 == 0 ? term : -term;
    }
    return options.length * std::log2(total) + std::log2(share);
}

SecureString GeneratePassword(const GeneratorOptions& options, RandomSource& random) {
    if (std::string problem = CheckGeneratorOptions(options); !problem.empty()) throw std::invalid_argument(problem);
    return options.passphrase ? GeneratePassphrase(options, random) : GenerateCharacters(options, random);
}

}  // namespace tessarel
