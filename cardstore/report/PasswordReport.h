#pragma once
// The password report: every card whose category keeps a password, with the password's strength
// as zxcvbn estimates it, how many other cards hold the same password, whether it is empty, and
// how long ago the card last changed. The report holds no password: reuse is found through keyed
// digests whose key lives only while the report is made, and what it keeps per card is numbers.

#include <cstdint>
#include <span>
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
    bool estimated = false;  // whether `strength` is in (an empty password needs no estimate)
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
    int weak = 0;  // of the rows estimated so far
    int reused = 0;
    int empty = 0;
    int old = 0;
};

class PasswordReport {
public:
    // The complete report: every strength estimated before this returns. The cards of the
    // fifteen categories (never the deleted list), category by category in code order, each list
    // in its own order. `now` is the current card time stamp (local clock, as the cards' own
    // stamps).
    static PasswordReport Make(const CCardFileData& data, std::uint32_t now);
    // The same rows with everything but the strengths: names, reuse, empty and age are quick to
    // find, the estimates (the bulk of the time) are left to whoever shows the report, one per
    // group of cards sharing a password, through EstimateCards() and SetStrength().
    static PasswordReport MakeWithoutStrength(const CCardFileData& data, std::uint32_t now);

    const std::vector<PasswordReportRow>& Rows() const { return rows; }
    const PasswordReportSummary& Summary() const { return summary; }
    // Nothing weak and nothing reused, with every estimate in.
    bool Clean() const { return Complete() && summary.weak == 0 && summary.reused == 0; }
    // "12 cards with a password: 3 weak, 2 reused, 1 empty, 4 older than a year"; while estimates
    // are missing, "strength being estimated (40%)" stands for the weak count.
    std::string SummaryText() const;

    // Groups of cards with the same (non-empty) password: one estimate serves a whole group.
    std::size_t GroupCount() const { return groupStarts.empty() ? 0 : groupStarts.size() - 1; }
    // One card of each group, by group: the card whose password to estimate. The pointers are the
    // document's and valid only while it is unchanged.
    const std::vector<const CCard*>& EstimateCards() const { return estimateCards; }
    // The rows (indexes into Rows()) of a group.
    std::span<const std::uint32_t> GroupRows(std::size_t group) const;
    // Gives every row of `group` its estimate; a group already estimated is left alone.
    void SetStrength(std::size_t group, PasswordStrength strength);
    std::size_t GroupsEstimated() const { return groupsEstimated; }
    bool Complete() const { return groupsEstimated == GroupCount(); }

private:
    std::vector<PasswordReportRow> rows;
    PasswordReportSummary summary;
    std::vector<const CCard*> estimateCards;
    std::vector<std::uint32_t> groupRows;    // rows, group after group
    std::vector<std::size_t> groupStarts;    // where each group begins in groupRows, and the end
    std::vector<bool> groupEstimated;
    std::size_t groupsEstimated = 0;
};

}  // namespace tessarel
