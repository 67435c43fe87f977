#include "CardImporter.h"

#include <cstdio>
#include <set>
#include <tuple>

#include "ExchangeTime.h"
#include "cardstore/CardTime.h"
#include "cardstore/CategoryTable.h"
#include "core/Win1252.h"

namespace tessarel {
namespace {

// Texts of a card are shorter than this many bytes: the card file counts them in 16 bits.
constexpr std::size_t kMaxTextBytes = 32767;

using CardKey = std::tuple<int, std::string, std::string, std::string>;

CardKey KeyOf(const CCard& card) {
    return {card.GetCategoryCode(), std::string(card.GetFieldText1()), std::string(card.GetFieldText2()), std::string(card.GetFieldText3())};
}

std::string CodePointText(char32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04lX", static_cast<unsigned long>(cp));
    return text;
}

std::string FieldName(int code, std::size_t field) {
    if (field == 4) return "Note";
    std::string label(kCategories[static_cast<std::size_t>(code)].labels[field]);
    if (!label.empty() && label.back() == ':') label.pop_back();
    return label;
}

std::string Describe(const ImportedCard& entry) {
    return entry.origin + " \"" + std::string(entry.fields[0]) + "\" (" + std::string(CategoryName(entry.categoryCode)) + ")";
}

struct Converted {
    std::unique_ptr<CCard> card;
    std::vector<std::string> faults;  // field: what is wrong
    bool tooLong = false;             // no replacement can mend this one
};

// The fourth text is the card's password (or PIN): its characters never appear in a message.
constexpr std::size_t kPasswordText = 3;

Converted Convert(const ImportedCard& entry) {
    Converted result;
    result.card = std::make_unique<CCard>();
    const std::array<const SecureString*, 5> texts = {&entry.fields[0], &entry.fields[1], &entry.fields[2], &entry.fields[3], &entry.note};
    std::array<SecureString, 5> bytes;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::vector<char32_t> bad;
        std::string converted = Utf8ToWin1252Replacing(*texts[i], '?', bad);
        // A zero byte ends a text in a card file: the fields after it would shift.
        for (char& c : converted) {
            if (c == '\0') {
                c = '?';
                bad.push_back(0);
            }
        }
        bytes[i].assign(converted);
        WipeString(converted);
        if (!bad.empty() && i == kPasswordText) {
            // Only the count: the message is shown and may be kept, the password is not.
            result.faults.push_back(FieldName(entry.categoryCode, i) + ": " + std::to_string(bad.size()) +
                                    (bad.size() == 1 ? " character" : " characters") + " (not shown)");
        } else if (!bad.empty()) {
            std::string list;
            for (std::size_t b = 0; b < bad.size() && b < 5; ++b) list += (b ? ", " : "") + CodePointText(bad[b]);
            if (bad.size() > 5) list += ", ... (" + std::to_string(bad.size()) + " in all)";
            result.faults.push_back(FieldName(entry.categoryCode, i) + ": " + list);
        }
        if (bytes[i].size() >= kMaxTextBytes) {
            result.tooLong = true;
            result.faults.push_back(FieldName(entry.categoryCode, i) + ": " + std::to_string(bytes[i].size()) +
                                    " bytes long; card texts are shorter than 32767");
        }
    }
    CCard& card = *result.card;
    card.SetFieldText1(bytes[0]);
    card.SetFieldText2(bytes[1]);
    card.SetFieldText3(bytes[2]);
    card.SetFieldText4(bytes[3]);
    card.SetNote(bytes[4]);
    card.SetCategoryCode(static_cast<std::uint8_t>(entry.categoryCode));
    card.SetCategoryName(CategoryName(entry.categoryCode));
    return result;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& part : parts) out += (out.empty() ? "" : "; ") + part;
    return out;
}

}  // namespace

ImportPlan ImportPlan::Make(const std::vector<ImportedCard>& entries, const CCardFileData& target, const ImportOptions& options) {
    ImportPlan plan;
    std::set<CardKey> present;
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const auto& card : *target.GetCategoryList(code)) present.insert(KeyOf(*card));
    }
    for (const ImportedCard& entry : entries) {
        if (entry.categoryCode < 0 || entry.categoryCode >= kCategoryCount) continue;  // readers only make codes 0 to 14
        Converted converted = Convert(entry);
        if (!converted.faults.empty()) {
            plan.unsupported.push_back(Describe(entry) + ": " + Joined(converted.faults));
            if (options.unsupported == UnsupportedText::Refuse) {
                plan.refused = true;
                continue;
            }
            if (options.unsupported == UnsupportedText::Skip || converted.tooLong) {
                plan.skipped.push_back(Describe(entry) + ": " + Joined(converted.faults));
                continue;
            }
        }
        if (!options.allowDuplicates && present.count(KeyOf(*converted.card)) != 0) {
            plan.duplicates.push_back(Describe(entry));
            continue;
        }
        // Listed as changed only when the changed card is really added.
        if (!converted.faults.empty()) plan.changed.push_back(Describe(entry) + ": " + Joined(converted.faults) + " replaced by \"?\"");
        const std::uint32_t stamp = entry.modifiedUtc ? CardStampFromUtc(*entry.modifiedUtc) : CurrentCardTimeStamp();
        converted.card->Stamp(stamp, options.dateFormat);
        ++plan.added[static_cast<std::size_t>(entry.categoryCode)];
        plan.cards.push_back(std::move(converted.card));
    }
    if (plan.refused) {
        plan.cards.clear();
        plan.added = {};
    }
    return plan;
}

std::vector<std::string> ImportPlan::Summary() const {
    std::vector<std::string> lines;
    if (refused) {
        lines.push_back("Nothing imported: " + std::to_string(unsupported.size()) +
                        " entries hold text that Windows-1252 cannot hold. Skip those entries, or replace the characters with \"?\":");
        for (const auto& line : unsupported) lines.push_back("  " + line);
        return lines;
    }
    std::string counts;
    for (int code = 0; code < kCategoryCount; ++code) {
        const int count = added[static_cast<std::size_t>(code)];
        if (count != 0) counts += (counts.empty() ? "" : ", ") + std::to_string(count) + " " + std::string(CategoryName(code));
    }
    lines.push_back(cards.empty() ? "Cards to add: none." : "Cards to add: " + counts + " (" + std::to_string(cards.size()) + " in all).");
    auto section = [&lines](const std::vector<std::string>& items, const std::string& title) {
        if (items.empty()) return;
        lines.push_back(title + " " + std::to_string(items.size()) + ":");
        for (const auto& item : items) lines.push_back("  " + item);
    };
    section(duplicates, "Skipped, already in the card file:");
    section(skipped, "Skipped, text that Windows-1252 cannot hold:");
    section(changed, "Changed, characters replaced by \"?\":");
    return lines;
}

void ImportPlan::ApplyTo(CCardFileData& target) {
    if (refused) return;
    for (auto& card : cards) target.PlaceCard(std::move(card));
    cards.clear();
}

}  // namespace tessarel
