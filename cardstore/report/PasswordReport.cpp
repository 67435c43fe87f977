#include "PasswordReport.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <exception>
#include <thread>

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

// Estimates the strength of the first card of each run of equal passwords, spread over the
// machine's cores: zxcvbn dominates the report's time, and each password is estimated once.
void EstimateRuns(const std::vector<const CCard*>& cards, std::vector<PasswordReportRow>& rows, const DigestList& digests,
                  const std::vector<std::size_t>& runStarts) {
    const std::size_t runs = runStarts.size() - 1;
    const auto estimate = [&](std::size_t first, std::size_t step) {
        for (std::size_t run = first; run < runs; run += step) {
            const std::uint32_t row = digests[runStarts[run]].row;
            const PasswordStrength strength = EstimatePasswordStrength(cards[row]->GetFieldText4());
            for (std::size_t i = runStarts[run]; i < runStarts[run + 1]; ++i) rows[digests[i].row].strength = strength;
        }
    };
    const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    if (threads == 1 || runs < 256) {
        estimate(0, 1);
        return;
    }
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(estimate, t, threads);
    estimate(0, threads);
    for (std::thread& worker : workers) worker.join();
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
            SetAge(row, card->GetModified(), now);
            report.rows.push_back(std::move(row));
            cards.push_back(card.get());
        }
    }

    DigestList digests;
    {
        const DigestKey key;
        for (std::size_t row = 0; row < cards.size(); ++row)
            if (!report.rows[row].empty) digests.push_back(key.Digest(cards[row]->GetFieldText4(), static_cast<std::uint32_t>(row)));
    }
    std::sort(digests.begin(), digests.end(), [](const KeyedDigest& a, const KeyedDigest& b) { return a.digest < b.digest; });
    std::vector<std::size_t> runStarts;
    for (std::size_t i = 0; i < digests.size(); ++i)
        if (i == 0 || digests[i].digest != digests[i - 1].digest) runStarts.push_back(i);
    runStarts.push_back(digests.size());
    for (std::size_t run = 0; run + 1 < runStarts.size(); ++run) {
        const int others = static_cast<int>(runStarts[run + 1] - runStarts[run]) - 1;
        for (std::size_t i = runStarts[run]; i < runStarts[run + 1]; ++i) report.rows[digests[i].row].reusedBy = others;
    }
    EstimateRuns(cards, report.rows, digests, runStarts);

    for (const PasswordReportRow& row : report.rows) {
        ++report.summary.cards;
        report.summary.weak += row.Weak() ? 1 : 0;
        report.summary.reused += row.Reused() ? 1 : 0;
        report.summary.empty += row.empty ? 1 : 0;
        report.summary.old += row.old ? 1 : 0;
    }
    return report;
}

std::string PasswordReport::SummaryText() const {
    return std::to_string(summary.cards) + (summary.cards == 1 ? " card" : " cards") + " with a password: " + std::to_string(summary.weak) +
           " weak, " + std::to_string(summary.reused) + " reused, " + std::to_string(summary.empty) + " empty, " +
           std::to_string(summary.old) + " older than a year";
}

}  // namespace tessarel
