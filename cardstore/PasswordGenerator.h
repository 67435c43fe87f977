#pragma once
// Makes passwords for cards: random characters from chosen classes, or a passphrase of words from
// the EFF long word list. Every character is one a card holds unchanged (printable ASCII, the same
// byte in Windows-1252), and every password the options allow is equally likely, so the entropy
// the dialog shows is that of the draw itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RandomSource.h"
#include "core/SecureBuffer.h"

namespace tessarel {

// Character classes, as bits of GeneratorOptions::classes.
enum CharacterClass : unsigned {
    kUpperCase = 1u,
    kLowerCase = 2u,
    kDigits = 4u,
    kSymbols = 8u,
    kAllClasses = 15u,
};

inline constexpr int kMinPasswordLength = 8;
inline constexpr int kMaxPasswordLength = 128;
inline constexpr int kMinPassphraseWords = 4;
inline constexpr int kMaxPassphraseWords = 12;
inline constexpr std::size_t kMaxSeparatorLength = 8;

struct GeneratorOptions {
    bool passphrase = false;
    // Character mode.
    int length = 20;
    unsigned classes = kAllClasses;
    bool excludeLookAlikes = false;
    // Passphrase mode.
    int words = 6;
    std::string separator = "-";

    bool operator==(const GeneratorOptions&) const = default;
};

// Characters that are easily taken for one another in common fonts, left out on request:
// 0 O o, 1 l I |, 5 S, 2 Z, 8 B, 6 G and the two single quotes ` '.
std::string_view LookAlikeCharacters();

// The characters of each chosen class, in the order upper, lower, digits, symbols, without the
// look-alikes when they are excluded.
std::vector<std::string> ClassAlphabets(unsigned classes, bool excludeLookAlikes);

// "ulds" and any subset in any order; nullopt when a letter is not one of u, l, d, s. An empty
// text gives 0 (no class), which CheckGeneratorOptions refuses with its own message.
std::optional<unsigned> ParseClassLetters(std::string_view letters);
std::string ClassLetters(unsigned classes);

// Why the options cannot make a password ("The length must be between 8 and 128 characters.",
// …); empty when they can.
std::string CheckGeneratorOptions(const GeneratorOptions& options);

// The entropy of one draw in bits: log2 of the number of passwords the options can give, all of
// them equally likely. For characters that is the number of strings of the length over the
// alphabet that hold every chosen class (counted by inclusion and exclusion); for a passphrase,
// words × log2(7776). 0 when the options are not valid.
double EntropyBits(const GeneratorOptions& options);

// One password. Throws std::invalid_argument (with CheckGeneratorOptions' message) for invalid
// options and RandomUnavailable when the system gives no random bytes.
SecureString GeneratePassword(const GeneratorOptions& options, RandomSource& random);

}  // namespace tessarel
