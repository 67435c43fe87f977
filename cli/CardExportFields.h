#pragma once
// The fields of one exported card, in the order of the export schema; JSON and CSV both write
// them, so the two formats name and order them alike.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cardstore/CardRecordView.h"

namespace tessarel::cli {

struct ExportField {
    enum class Kind { Text, Number, Flag };
    std::string_view name;
    Kind kind = Kind::Text;
    std::string_view text;     // for Text: Windows-1252 bytes, pointing into the card or the category table
    std::uint32_t number = 0;  // for Number
    bool flag = false;         // for Flag
};

// category, categoryName, name, field2, field3, password, note, modified, recordFlags,
// syncValue, statusFlags, deleted. Texts stay Windows-1252 bytes (the writers decode them as they
// append, so no copy of a card text is made); categoryName is the name of the card's code, empty
// for codes outside 0 to 14. The row points into `card`: it is valid while the card is.
std::array<ExportField, 12> ExportFields(const CardRecordView& card);

// Appends Windows-1252 bytes as UTF-8 (the one conversion's rule, without a copy in between).
void AppendWin1252AsUtf8(SecureString& out, std::string_view bytes);

// The names above, in the same order.
std::vector<std::string_view> ExportFieldNames();

}  // namespace tessarel::cli
