// The password report's flags on a small card file: which categories have a password, reuse
// counted across categories (never through empty passwords or the deleted list), weak scores,
// empty passwords and ages from the cards' time stamps.
#include <gtest/gtest.h>

#include "cardstore/report/PasswordReport.h"

namespace tessarel {
namespace {

constexpr std::uint32_t kNow = 3'900'000'000u;  // a stamp in 2027
constexpr std::uint32_t kDay = 86400u;

CCard* Add(CCardFileData& data, int code, const std::string& name, const std::string& password, std::uint32_t modified) {
    auto card = std::make_unique<CCard>();
    card->SetTexts(name, "second", "user", password, "note holds no secret here", "", "");
    card->SetCategoryCode(static_cast<std::uint8_t>(code));
    card->SetModified(modified);
    CCard* raw = card.get();
    data.PlaceCard(std::move(card));
    return raw;
}

const PasswordReportRow& RowNamed(const PasswordReport& report, const std::string& name) {
    for (const auto& row : report.Rows())
        if (row.name == name) return row;
    throw std::runtime_error("no row named " + name);
}

TEST(PasswordReport, CategoriesWithAPasswordAreThoseWhoseFourthFieldIsOne) {
    for (int code = -1; code <= kCategoryCount; ++code) {
        const bool expected = code == 0 || code == 1 || code == 2 || code == 3 || code == 5 || code == 6 || code == 14;
        EXPECT_EQ(CategoryHasPassword(code), expected) << code;
    }
}

TEST(PasswordReport, FlagsReuseEmptyWeakAndOldCards) {
    CCardFileData data;
    Add(data, 0, "shop", "sunshine1", kNow - 10 * kDay);
    Add(data, 5, "server", "sunshine1", kNow - 400 * kDay);
    Add(data, 14, "misc", "sunshine1", kNow);
    Add(data, 1, "strong", "vK7#qz!R2m@Lw9$Tn4", kNow - 365 * kDay);   // exactly a year: not older
    Add(data, 2, "empty ftp", "", kNow - 366 * kDay);
    Add(data, 3, "empty news", "", 0);                                 // no stamp: age unknown
    Add(data, 6, "future", "Other-Strong-Passw0rd-&-More-2027", kNow + 5 * kDay);
    // A PIN is not a password; it neither appears nor counts as a reuse of the same digits.
    Add(data, 8, "visa", "sunshine1", kNow);
    auto deleted = std::make_unique<CCard>();
    deleted->SetTexts("gone", "", "", "sunshine1", "", "", "");
    deleted->SetDeleted(true);
    data.PlaceCard(std::move(deleted));

    const PasswordReport report = PasswordReport::Make(data, kNow);
    ASSERT_EQ(report.Rows().size(), 7u);
    struct Expected {
        const char* name;
        int code;
        int reusedBy;
        bool empty;
        bool weak;
        bool ageKnown;
        std::int64_t ageDays;
        bool old;
    };
    const Expected cases[] = {
        {"shop", 0, 2, false, true, true, 10, false},
        {"server", 5, 2, false, true, true, 400, true},
        {"misc", 14, 2, false, true, true, 0, false},
        {"strong", 1, 0, false, false, true, 365, false},
        {"empty ftp", 2, 0, true, true, true, 366, true},
        {"empty news", 3, 0, true, true, false, 0, false},
        {"future", 6, 0, false, false, true, 0, false},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.name);
        const PasswordReportRow& row = RowNamed(report, c.name);
        EXPECT_EQ(row.categoryCode, c.code);
        EXPECT_EQ(row.reusedBy, c.reusedBy);
        EXPECT_EQ(row.empty, c.empty);
        EXPECT_EQ(row.Weak(), c.weak) << row.strength.score;
        EXPECT_EQ(row.ageKnown, c.ageKnown);
        EXPECT_EQ(row.ageDays, c.ageDays);
        EXPECT_EQ(row.old, c.old);
    }
    EXPECT_EQ(RowNamed(report, "server").listIndex, 0);
    const PasswordReportSummary& summary = report.Summary();
    EXPECT_EQ(summary.cards, 7);
    EXPECT_EQ(summary.weak, 5);
    EXPECT_EQ(summary.reused, 3);
    EXPECT_EQ(summary.empty, 2);
    EXPECT_EQ(summary.old, 2);
    EXPECT_FALSE(report.Clean());
    EXPECT_EQ(report.SummaryText(), "7 cards with a password: 5 weak, 3 reused, 2 empty, 2 older than a year");
}

TEST(PasswordReport, CleanWhenNothingIsWeakOrReused) {
    CCardFileData data;
    Add(data, 0, "a", "vK7#qz!R2m@Lw9$Tn4", kNow - 800 * kDay);
    Add(data, 0, "b", "Gq8&wP3!zL6^rT1%yX", kNow);
    // Reuse is by exact bytes: a password differing only in case is another password.
    Add(data, 0, "c", "gq8&wP3!zL6^rT1%yX", kNow);
    Add(data, 7, "bank", "1234", kNow);
    const PasswordReport report = PasswordReport::Make(data, kNow);
    EXPECT_EQ(report.Rows().size(), 3u);
    EXPECT_TRUE(report.Clean()) << report.SummaryText();
    EXPECT_EQ(report.Summary().old, 1);
}

TEST(PasswordReport, ManyCardsSharingPasswordsAreCountedPerGroup) {
    // Enough cards for the estimates to be spread over threads.
    CCardFileData data;
    for (int i = 0; i < 1000; ++i) Add(data, 0, "card" + std::to_string(i), "group-" + std::to_string(i % 10) + "-Zq!9", kNow);
    const PasswordReport report = PasswordReport::Make(data, kNow);
    ASSERT_EQ(report.Rows().size(), 1000u);
    for (const auto& row : report.Rows()) EXPECT_EQ(row.reusedBy, 99) << row.name;
    const PasswordStrength first = report.Rows()[0].strength;
    EXPECT_EQ(report.Rows()[10].strength.guessesLog10, first.guessesLog10);
}

TEST(PasswordReport, EstimatesSpreadOverThreadsMatchOneByOne) {
    // Enough distinct passwords for the estimates to run on several threads: each row must carry
    // its own password's estimate.
    CCardFileData data;
    std::vector<std::string> passwords;
    for (int i = 0; i < 600; ++i) {
        passwords.push_back(i % 3 == 0 ? "summer" + std::to_string(i) : "x" + std::to_string(i * 7919) + "-Qv!" + std::string(static_cast<std::size_t>(i % 9), 'k'));
        Add(data, 0, "card" + std::to_string(i), passwords.back(), kNow);
    }
    const PasswordReport report = PasswordReport::Make(data, kNow);
    ASSERT_EQ(report.Rows().size(), passwords.size());
    for (std::size_t i = 0; i < passwords.size(); ++i) {
        const PasswordStrength alone = EstimatePasswordStrength(passwords[i]);
        EXPECT_EQ(report.Rows()[i].strength.guessesLog10, alone.guessesLog10) << passwords[i];
        EXPECT_EQ(report.Rows()[i].strength.score, alone.score) << passwords[i];
    }
}

TEST(PasswordReport, WithoutStrengthsEverythingElseIsThereAndTheGroupsFillInToTheCompleteReport) {
    CCardFileData data;
    Add(data, 0, "shop", "sunshine1", kNow - 10 * kDay);
    Add(data, 5, "server", "sunshine1", kNow - 400 * kDay);
    Add(data, 1, "strong", "vK7#qz!R2m@Lw9$Tn4", kNow);
    Add(data, 2, "empty", "", kNow);
    Add(data, 6, "other", "Other-Strong-Passw0rd-&-More-2027", kNow);
    const PasswordReport complete = PasswordReport::Make(data, kNow);
    PasswordReport filling = PasswordReport::MakeWithoutStrength(data, kNow);

    ASSERT_EQ(filling.Rows().size(), complete.Rows().size());
    EXPECT_EQ(filling.GroupCount(), 3u) << "sunshine1, the strong one and the other; the empty one needs no estimate";
    EXPECT_EQ(filling.SummaryText(), "5 cards with a password: strength being estimated (0%), 2 reused, 1 empty, 1 older than a year");
    EXPECT_FALSE(filling.Clean()) << "not clean before the estimates are in";
    for (std::size_t i = 0; i < filling.Rows().size(); ++i) {
        const PasswordReportRow& row = filling.Rows()[i];
        EXPECT_EQ(row.name, complete.Rows()[i].name);
        EXPECT_EQ(row.reusedBy, complete.Rows()[i].reusedBy) << row.name;
        EXPECT_EQ(row.old, complete.Rows()[i].old) << row.name;
        EXPECT_EQ(row.estimated, row.empty) << row.name;
    }
    // The last group first, and one given twice: the weak count counts each row once.
    for (std::size_t group = filling.GroupCount(); group-- > 0;) {
        const PasswordStrength strength = EstimatePasswordStrength(filling.EstimateCards()[group]->GetFieldText4());
        filling.SetStrength(group, strength);
        filling.SetStrength(group, strength);
        if (group == 2) {
            EXPECT_EQ(filling.SummaryText(), "5 cards with a password: strength being estimated (33%), 2 reused, 1 empty, 1 older than a year");
        }
    }
    EXPECT_TRUE(filling.Complete());
    EXPECT_EQ(filling.SummaryText(), complete.SummaryText());
    EXPECT_EQ(filling.Summary().weak, 3) << "sunshine1 twice and the empty one";
    for (std::size_t i = 0; i < filling.Rows().size(); ++i) {
        EXPECT_EQ(filling.Rows()[i].strength.guessesLog10, complete.Rows()[i].strength.guessesLog10) << filling.Rows()[i].name;
        EXPECT_EQ(filling.Rows()[i].strength.score, complete.Rows()[i].strength.score) << filling.Rows()[i].name;
    }
}

TEST(PasswordStrength, ZxcvbnEstimatesAndScoreBands) {
    EXPECT_EQ(EstimatePasswordStrength("").score, 0);
    EXPECT_EQ(EstimatePasswordStrength("").guessesLog10, 0.0);
    EXPECT_EQ(EstimatePasswordStrength("password").score, 0);
    EXPECT_LT(EstimatePasswordStrength("password").guessesLog10, 3.0);
    EXPECT_EQ(EstimatePasswordStrength("vK7#qz!R2m@Lw9$Tn4").score, 4);
    // Windows-1252 bytes outside ASCII reach zxcvbn as characters, not as broken UTF-8.
    const PasswordStrength accented = EstimatePasswordStrength("\xe9t\xe9\x80\xfc\xdf-Kl\xe4ng-93!");
    EXPECT_GE(accented.score, 3);
    EXPECT_GT(EstimatePasswordStrength("Tr0ub4dour&3xyz").guessesLog10, EstimatePasswordStrength("Tr0ub4dour").guessesLog10);
    struct Band {
        double log10;
        int score;
    };
    for (const Band& band : {Band{0.0, 0}, Band{2.99, 0}, Band{3.0, 0}, Band{3.01, 1}, Band{6.01, 2}, Band{8.01, 3}, Band{9.99, 3},
                             Band{10.01, 4}, Band{40.0, 4}})
        EXPECT_EQ(ScoreOfGuesses(band.log10), band.score) << band.log10;
}

}  // namespace
}  // namespace tessarel
