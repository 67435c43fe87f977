#pragma once
// The password report: every card whose category keeps a password, with the password's strength
// as zxcvbn estimates it, how many other cards hold the same password, whether it is empty, and
// how long ago the card last changed. The report holds no password: reuse is found through keyed
// digests whose key lives only while the report is made, and what it keeps per card is numbers.

#include <cstdint>
#include <string>
#include <vector>

#include "PasswordStrength.h"
#include "cardstore/CCardFileData.h"

namespace tessarel {

// Cards older than this (by their time stamp) are flagged: a year of 365 days.
inline constexpr std::uint32_t kOldCardSeconds = 365u * 86400u;

// Whether cards of the category keep a password: those whose fourth field the category table
// labels "Password:". PINs, account, card and licence numbers are not passwords a person picks,
// and a strength estimate or a reuse warning about them would only be noise.
bool CategoryHasPassword(int code);

struct PasswordReportRow {
    int categoryCode = 0;
    int listIndex = 0;      // the card's place in its category list
    std::string name;       // the card's name (first field), Windows-1252 bytes
    PasswordStrength strength;
    int reusedBy = 0;       // other cards of the report that hold the same password
    bool empty = false;
    bool ageKnown = false;  // a stamp of 0 means the card never had a date
    std::int64_t ageDays = 0;
    bool old = false;

    // An empty password scores 0, so it counts as weak.
    bool Weak() const { return strength.score < kWeakScoreBelow; }
    bool Reused() const { return reusedBy > 0; }
};

struct PasswordReportSummary {
    int cards = 0;
    int weak = 0;
    int reused = 0;
    int empty = 0;
    int old = 0;
};

class PasswordReport {
public:
    // The cards of the fifteen categories (never the deleted list), category by category in code
    // order, each list in its own order. `now` is the current card time stamp (local clock, as
    // the cards' own stamps).
    static PasswordReport Make(const CCardFileData& data, std::uint32_t now);

    const std::vector<PasswordReportRow>& Rows() const { return rows; }
    const PasswordReportSummary& Summary() const { return summary; }
    // Nothing weak and nothing reused.
    bool Clean() const { return summary.weak == 0 && summary.reused == 0; }
    // "12 cards with a password: 3 weak, 2 reused, 1 empty, 4 older than a year".
    std::string SummaryText() const;

private:
    std::vector<PasswordReportRow> rows;
    PasswordReportSummary summary;
};

}  // namespace tessarel
