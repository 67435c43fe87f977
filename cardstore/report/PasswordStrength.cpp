#include "PasswordStrength.h"

#include <zxcvbn.h>

#include <cmath>
#include <string>

#include "core/SecureBuffer.h"
#include "core/Win1252.h"

namespace tessarel {

int ScoreOfGuesses(double guessesLog10) {
    // zxcvbn's bands: fewer than 10^3, 10^6, 10^8, 10^10 guesses (each with a margin of 5 guesses,
    // which matters only for the first band) give scores 0 to 3, anything above 4.
    const double guesses = std::pow(10.0, guessesLog10);
    if (guesses < 1e3 + 5) return 0;
    if (guesses < 1e6 + 5) return 1;
    if (guesses < 1e8 + 5) return 2;
    if (guesses < 1e10 + 5) return 3;
    return 4;
}

PasswordStrength EstimatePasswordStrength(std::string_view password) {
    if (password.empty()) return {};
    std::string utf8 = Win1252ToUtf8(password);
    // The C library returns the entropy in bits: log2 of the guesses.
    const double bits = ZxcvbnMatch(utf8.c_str(), nullptr, nullptr);
    WipeString(utf8);
    PasswordStrength strength;
    strength.guessesLog10 = bits > 0.0 ? bits * std::log10(2.0) : 0.0;
    strength.score = ScoreOfGuesses(strength.guessesLog10);
    return strength;
}

}  // namespace tessarel
