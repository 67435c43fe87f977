#include "CardFieldRows.h"

#include <algorithm>
#include <array>

#include "CategorySets.h"

namespace tessarel {
namespace {

constexpr std::size_t kSummaryCut = 60;
constexpr std::size_t kMaxMask = 255;

std::string OnOff(std::int32_t value) { return value == 1 ? "On" : "Off"; }

}  // namespace

bool IsBrowserGroupCode(int code) { return code == 0 || code == 2 || code == 3 || code == 4; }

bool IsBrowserGroupName(std::string_view categoryName) { return category_sets::Contains(category_sets::kBrowserGroup, categoryName); }

std::string NoteSummary(std::string_view note) {
    const auto lineFeed = note.find('\n');
    if (lineFeed != std::string_view::npos) {
        // The text before the line break; a carriage return before the line feed belongs to the
        // break. A note typed in the program always has both, an imported one may not.
        std::size_t end = lineFeed;
        if (end > 0 && note[end - 1] == '\r') --end;
        return std::string(note.substr(0, end)) + "...";
    }
    if (note.size() <= kSummaryCut) return std::string(note);
    std::size_t cut = kSummaryCut;
    if (note[cut] != ' ') {
        const auto blank = note.find_last_of(' ', kSummaryCut - 1);
        if (blank != std::string_view::npos && blank > 0) cut = blank;
    }
    return std::string(note.substr(0, cut)) + "...";
}

std::string MaskedPassword(std::string_view password) { return std::string(std::min(password.size(), kMaxMask), '*'); }

std::vector<FieldRow> CardFieldRows(const CCard& card, const std::array<std::string, 4>& labels, bool reveal) {
    std::vector<FieldRow> rows = {
        {labels[0], std::string(card.GetFieldText1())},
        {labels[1], std::string(card.GetFieldText2())},
        {labels[2], std::string(card.GetFieldText3())},
        {labels[3], reveal ? std::string(card.GetFieldText4()) : MaskedPassword(card.GetFieldText4())},
        {"Note:", card.GetNote().empty() ? std::string() : NoteSummary(card.GetNote())},
    };
    if (IsBrowserGroupCode(card.GetCategoryCode())) {
        rows.emplace_back("Automatic Access:", OnOff(card.GetAutomaticAccess()));
        rows.emplace_back("New Browser Window:", OnOff(card.GetNewBrowserWindow()));
    }
    rows.emplace_back("Date:", std::string(card.GetDateText()));
    return rows;
}

std::vector<FieldRow> CardFieldRows(const CCard& card, bool reveal) {
    const int code = card.GetCategoryCode();
    const FieldLabels& table = code < kCategoryCount ? kCategories[static_cast<std::size_t>(code)].labels : kDeletedListLabels;
    std::array<std::string, 4> labels;
    for (std::size_t i = 0; i < labels.size(); ++i) labels[i] = std::string(table[i]);
    return CardFieldRows(card, labels, reveal);
}

}  // namespace tessarel
