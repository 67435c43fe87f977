#include "PasswordReport.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <exception>

#include "StrengthEstimation.h"
#include "cardstore/CategoryTable.h"
#include "core/SecureBuffer.h"

namespace tessarel {
namespace {

// A keyed BLAKE2b digest of one password with the row it belongs to. With the key gone, a digest
// says nothing about the password, not even through a list of common ones.
struct KeyedDigest {
    std::array<unsigned char, 16> digest;
    std::uint32_t row;
};

class DigestKey {
public:
    DigestKey() {
        if (sodium_init() < 0) std::terminate();
        randombytes_buf(key.data(), key.size());
    }
    ~DigestKey() { sodium_memzero(key.data(), key.size()); }
    DigestKey(const DigestKey&) = delete;
    DigestKey& operator=(const DigestKey&) = delete;

    KeyedDigest Digest(std::string_view password, std::uint32_t row) const {
        KeyedDigest entry{{}, row};
        crypto_generichash(entry.digest.data(), entry.digest.size(), reinterpret_cast<const unsigned char*>(password.data()),
                           password.size(), key.data(), key.size());
        return entry;
    }

private:
    std::array<unsigned char, crypto_generichash_KEYBYTES> key{};
};

// The digests are wiped along with the vector, so not even they outlive the report's making.
using DigestList = std::vector<KeyedDigest, WipingAllocator<KeyedDigest>>;

// Each group of equal passwords as the rows holding it, groups in the order of their first row
// (so the estimates fill the report from the top).
std::vector<std::vector<std::uint32_t>> GroupsOfEqualPasswords(const std::vector<const CCard*>& cards,
                                                                const std::vector<PasswordReportRow>& rows) {
    DigestList digests;
    {
        const DigestKey key;
        for (std::size_t row = 0; row < cards.size(); ++row)
            if (!rows[row].empty) digests.push_back(key.Digest(cards[row]->GetFieldText4(), static_cast<std::uint32_t>(row)));
    }
    // Equal digests end up side by side, each run ordered by row.
    std::sort(digests.begin(), digests.end(),
              [](const KeyedDigest& a, const KeyedDigest& b) { return a.digest != b.digest ? a.digest < b.digest : a.row < b.row; });
    std::vector<std::vector<std::uint32_t>> groups;
    for (std::size_t i = 0; i < digests.size(); ++i) {
        if (i == 0 || digests[i].digest != digests[i - 1].digest) groups.emplace_back();
        groups.back().push_back(digests[i].row);
    }
    std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.front() < b.front(); });
    return groups;
}

void SetAge(PasswordReportRow& row, std::uint32_t modified, std::uint32_t now) {
    row.ageKnown = modified != 0;
    if (!row.ageKnown) return;
    // A stamp ahead of the clock (a clock set back, a file from another zone) is treated as new.
    const std::uint32_t seconds = now > modified ? now - modified : 0;
    row.ageDays = seconds / 86400;
    row.old = seconds > kOldCardSeconds;
}

}  // namespace

bool CategoryHasPassword(int code) {
    if (code < 0 || code >= kCategoryCount) return false;
    return kCategories[static_cast<std::size_t>(code)].labels[3] == "Password:";
}

PasswordReport PasswordReport::Make(const CCardFileData& data, std::uint32_t now) {
    PasswordReport report = MakeWithoutStrength(data, now);
    // Few passwords are not worth a thread each.
    const std::size_t threads = report.GroupCount() < 256 ? 1 : StrengthEstimation::DefaultThreads();
    StrengthEstimation estimation(report.EstimateCards(), EstimatePasswordStrength, threads);
    estimation.Wait();
    for (const EstimatedGroup& done : estimation.TakeFinished()) report.SetStrength(done.group, done.strength);
    return report;
}

PasswordReport PasswordReport::MakeWithoutStrength(const CCardFileData& data, std::uint32_t now) {
    PasswordReport report;
    std::vector<const CCard*> cards;
    for (int code = 0; code < kCategoryCount; ++code) {
        if (!CategoryHasPassword(code)) continue;
        int index = 0;
        for (const auto& card : *data.GetCategoryList(code)) {
            PasswordReportRow row;
            row.categoryCode = code;
            row.listIndex = index++;
            row.name = std::string(card->GetFieldText1());
            row.empty = card->GetFieldText4().empty();
            // An empty password scores 0 without asking zxcvbn.
            row.estimated = row.empty;
            SetAge(row, card->GetModified(), now);
            report.rows.push_back(std::move(row));
            cards.push_back(card.get());
        }
    }
    report.groupStarts.push_back(0);
    for (const std::vector<std::uint32_t>& group : GroupsOfEqualPasswords(cards, report.rows)) {
        for (const std::uint32_t row : group) report.rows[row].reusedBy = static_cast<int>(group.size()) - 1;
        report.groupRows.insert(report.groupRows.end(), group.begin(), group.end());
        report.groupStarts.push_back(report.groupRows.size());
        report.estimateCards.push_back(cards[group.front()]);
    }
    report.groupEstimated.assign(report.GroupCount(), false);
    for (const PasswordReportRow& row : report.rows) {
        ++report.summary.cards;
        report.summary.weak += row.empty ? 1 : 0;
        report.summary.reused += row.Reused() ? 1 : 0;
        report.summary.empty += row.empty ? 1 : 0;
        report.summary.old += row.old ? 1 : 0;
    }
    return report;
}

std::span<const std::uint32_t> PasswordReport::GroupRows(std::size_t group) const {
    if (group >= GroupCount()) return {};
    return std::span<const std::uint32_t>(groupRows).subspan(groupStarts[group], groupStarts[group + 1] - groupStarts[group]);
}

void PasswordReport::SetStrength(std::size_t group, PasswordStrength strength) {
    if (group >= GroupCount() || groupEstimated[group]) return;
    groupEstimated[group] = true;
    ++groupsEstimated;
    for (const std::uint32_t index : GroupRows(group)) {
        PasswordReportRow& row = rows[index];
        row.strength = strength;
        row.estimated = true;
        summary.weak += row.Weak() ? 1 : 0;
    }
}

std::string PasswordReport::SummaryText() const {
    const std::string weak = Complete() ? std::to_string(summary.weak) + " weak"
                                        : "strength being estimated (" + std::to_string(groupsEstimated * 100 / GroupCount()) + "%)";
    return std::to_string(summary.cards) + (summary.cards == 1 ? " card" : " cards") + " with a password: " + weak + ", " +
           std::to_string(summary.reused) + " reused, " + std::to_string(summary.empty) + " empty, " +
           std::to_string(summary.old) + " older than a year";
}

}  // namespace tessarel
