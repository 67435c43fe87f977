#pragma once
// The fields of one exported card, in the order of the export schema; JSON and CSV both write
// them, so the two formats name and order them alike.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cardstore/CCard.h"

namespace tessarel::cli {

struct ExportField {
    enum class Kind { Text, Number, Flag };
    std::string_view name;
    Kind kind = Kind::Text;
    SecureString text;         // UTF-8, for Text (card texts: wiped when released)
    std::uint32_t number = 0;  // for Number
    bool flag = false;         // for Flag
};

// category, categoryName, name, field2, field3, password, note, modified, recordFlags,
// syncValue, statusFlags, deleted. Texts are decoded from Windows-1252; categoryName is the name
// of the card's code, empty for codes outside 0 to 14.
std::vector<ExportField> ExportFields(const CCard& card);

// The names above, in the same order.
std::vector<std::string_view> ExportFieldNames();

}  // namespace tessarel::cli
