#pragma once
// The fifteen card categories: code, name and the labels of the four data fields. The code is a
// category's identity in cards, files, the tree and the commands; names compare byte for byte.

#include <array>
#include <optional>
#include <string_view>

namespace tessarel {

constexpr int kCategoryCount = 15;
constexpr int kMiscellaneousCode = 14;

using FieldLabels = std::array<std::string_view, 4>;

struct CategoryInfo {
    std::string_view name;
    FieldLabels labels;
};

// Indexed by category code 0 to 14.
extern const std::array<CategoryInfo, kCategoryCount> kCategories;

// Labels of the hidden list of deleted cards.
extern const FieldLabels kDeletedListLabels;

// The main frame's table of all seventeen category names, in its own order. "WWW Pages" and
// "Password Manager" have no code; they occur only inside legacy card files.
extern const std::array<std::string_view, 17> kFrameCategoryNames;

// The name of a code 0 to 14; empty for any other code.
std::string_view CategoryName(int code);

// The code whose name is exactly `name`, if any.
std::optional<int> CategoryCodeOfName(std::string_view name);

// Where a legacy record's category text places the card; nullopt discards the card. An empty text
// goes to "Miscellaneous" rather than being dropped.
std::optional<int> LegacyCategoryCode(std::string_view categoryText);

}  // namespace tessarel
