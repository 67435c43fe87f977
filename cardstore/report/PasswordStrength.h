#pragma once
// How hard a password is to guess, as zxcvbn estimates it: the estimated number of guesses an
// attacker needs and the 0 to 4 score that well-known password managers show for it.

#include <string_view>

namespace tessarel {

// A score below this is "weak": zxcvbn's own threshold between "somewhat guessable" (2, up to
// 10^8 guesses: an online attack or a fast offline one gets through) and "safely unguessable" (3).
inline constexpr int kWeakScoreBelow = 3;

struct PasswordStrength {
    int score = 0;              // 0 to 4
    double guessesLog10 = 0.0;  // log10 of the estimated guesses
};

// The estimate for a card text (Windows-1252 bytes). zxcvbn works on UTF-8; the converted copy
// it reads is wiped before this returns.
PasswordStrength EstimatePasswordStrength(std::string_view password);

// zxcvbn's score for an estimate of 10^guessesLog10 guesses.
int ScoreOfGuesses(double guessesLog10);

}  // namespace tessarel
