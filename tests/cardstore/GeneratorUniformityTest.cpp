// Over 1,000,000 passwords, each character position is within 1% of the distribution a uniform
// choice among all allowed passwords gives, and every single character within the noise of
// sampling. A biased draw (a modulo reduction of single bytes, or one character of each class
// placed first and shuffled in) fails here.
//
// Tolerance, fixed and why: with N = 1,000,000 draws and a character of probability p, its count
// has a standard deviation of sqrt(N·p·(1-p)), about 1% of the expected count for p = 1/77 (the
// four classes without look-alikes). So
// (1) the total variation distance of each position's observed distribution from the expected one
//     must stay at or below 0.01 ("within 1%"); for an unbiased generator it is about 0.003
//     (sum of |deviations| / 2N ≈ 77 · 0.8σ / 2N), so 0.01 is more than 20 standard deviations of
//     that statistic away and never trips by chance, while byte-modulo bias gives 0.07;
// (2) each character's count must lie within 6σ of its expectation: with 77 characters × 20
//     positions the chance of a false failure in one run is below 1,540 · 2·10^-9 ≈ 3·10^-6.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "cardstore/EffWordList.h"
#include "cardstore/PasswordGenerator.h"
#include "cardstore/RandomSource.h"

namespace tessarel {
namespace {

constexpr int kDraws = 1'000'000;
constexpr double kMaxVariationDistance = 0.01;
constexpr double kSigmas = 6.0;

// Strings of `length` over the classes `required` plus `neutral` other characters that hold every
// required class, counted position by position over the set of classes seen so far.
double CountHolding(const std::vector<double>& required, double neutral, int length) {
    const std::size_t states = std::size_t{1} << required.size();
    std::vector<double> count(states, 0.0);
    count[0] = 1.0;
    for (int position = 0; position < length; ++position) {
        std::vector<double> next(states, 0.0);
        for (std::size_t seen = 0; seen < states; ++seen) {
            next[seen] += count[seen] * neutral;
            for (std::size_t k = 0; k < required.size(); ++k) next[seen | (std::size_t{1} << k)] += count[seen] * required[k];
        }
        count = next;
    }
    return count[states - 1];
}

// The probability of each character at any one position when every password holding all classes
// is equally likely: the rest of the password must then hold the classes other than its own.
std::map<char, double> ExpectedShare(const std::vector<std::string>& alphabets, int length) {
    std::vector<double> sizes;
    for (const std::string& alphabet : alphabets) sizes.push_back(static_cast<double>(alphabet.size()));
    const double all = CountHolding(sizes, 0.0, length);
    std::map<char, double> share;
    for (std::size_t k = 0; k < alphabets.size(); ++k) {
        std::vector<double> others = sizes;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(k));
        const double p = CountHolding(others, sizes[k], length - 1) / all;
        for (char c : alphabets[k]) share[c] = p;
    }
    return share;
}

void ExpectEveryPositionUniform(const GeneratorOptions& options) {
    const std::map<char, double> expected = ExpectedShare(ClassAlphabets(options.classes, options.excludeLookAlikes), options.length);
    double total = 0;
    for (const auto& [c, p] : expected) total += p;
    ASSERT_NEAR(total, 1.0, 1e-12);

    const auto length = static_cast<std::size_t>(options.length);
    std::vector<std::map<char, int>> counts(length);
    SystemRandom random;
    for (int draw = 0; draw < kDraws; ++draw) {
        const SecureString password = GeneratePassword(options, random);
        for (std::size_t i = 0; i < length; ++i) ++counts[i][password[i]];
    }
    for (std::size_t i = 0; i < length; ++i) {
        double distance = 0;
        for (const auto& [c, p] : expected) {
            const double n = counts[i].count(c) ? counts[i][c] : 0;
            const double mean = kDraws * p;
            const double sigma = std::sqrt(kDraws * p * (1 - p));
            EXPECT_LE(std::abs(n - mean), kSigmas * sigma) << "position " << i << " character '" << c << "': " << n << " for " << mean;
            distance += std::abs(n / kDraws - p);
        }
        EXPECT_EQ(counts[i].size(), expected.size()) << "position " << i << " holds characters outside the alphabet";
        EXPECT_LE(distance / 2, kMaxVariationDistance) << "position " << i;
    }
}

TEST(GeneratorUniformity, EveryPositionOfAllFourClassesWithoutLookAlikes) {
    GeneratorOptions options;
    options.length = 20;
    options.classes = kAllClasses;
    options.excludeLookAlikes = true;
    ExpectEveryPositionUniform(options);
}

TEST(GeneratorUniformity, EveryPositionOfOneClass) {
    GeneratorOptions options;
    options.length = 8;
    options.classes = kSymbols;
    ExpectEveryPositionUniform(options);
}

// The words of a passphrase: 7776 choices are too many for a per-word bound at this sample size,
// so the first word's counts go through Pearson's chi-square test (7775 degrees of freedom: mean
// 7775, standard deviation sqrt(2·7775) ≈ 125), bounded at 6 standard deviations either side.
TEST(GeneratorUniformity, PassphraseWordsFollowTheListEvenly) {
    GeneratorOptions options;
    options.passphrase = true;
    options.words = 4;
    options.separator = " ";
    const auto& list = EffLongWordList();
    std::map<std::string_view, std::size_t> index;
    for (std::size_t i = 0; i < list.size(); ++i) index[list[i]] = i;
    std::vector<double> counts(list.size(), 0.0);
    SystemRandom random;
    for (int draw = 0; draw < kDraws; ++draw) {
        const SecureString passphrase = GeneratePassword(options, random);
        const std::string_view first = std::string_view(passphrase).substr(0, passphrase.find(' '));
        ASSERT_EQ(index.count(first), 1u) << first;
        ++counts[index[first]];
    }
    const double mean = static_cast<double>(kDraws) / static_cast<double>(list.size());
    double chiSquare = 0;
    for (double n : counts) chiSquare += (n - mean) * (n - mean) / mean;
    const double dof = static_cast<double>(list.size() - 1);
    EXPECT_NEAR(chiSquare, dof, kSigmas * std::sqrt(2 * dof));
}

}  // namespace
}  // namespace tessarel
