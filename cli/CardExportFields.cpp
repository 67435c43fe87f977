#include "CardExportFields.h"

#include "cardstore/CategoryTable.h"
#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

ExportField Text(std::string_view name, std::string_view bytes) {
    ExportField field;
    field.name = name;
    field.kind = ExportField::Kind::Text;
    field.text = bytes;
    return field;
}

ExportField Number(std::string_view name, std::uint32_t value) {
    ExportField field;
    field.name = name;
    field.kind = ExportField::Kind::Number;
    field.number = value;
    return field;
}

ExportField Flag(std::string_view name, bool value) {
    ExportField field;
    field.name = name;
    field.kind = ExportField::Kind::Flag;
    field.flag = value;
    return field;
}

}  // namespace

std::array<ExportField, 12> ExportFields(const CardRecordView& card) {
    return {
        Number("category", card.categoryCode),
        Text("categoryName", CategoryName(card.categoryCode)),
        Text("name", card.texts[0]),
        Text("field2", card.texts[1]),
        Text("field3", card.texts[2]),
        Text("password", card.texts[3]),
        Text("note", card.texts[4]),
        Number("modified", card.modified),
        Number("recordFlags", card.recordFlags),
        Number("syncValue", card.syncValue),
        Number("statusFlags", card.statusFlags),
        Flag("deleted", card.IsDeleted()),
    };
}

void AppendWin1252AsUtf8(SecureString& out, std::string_view bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
            continue;
        }
        const char32_t cp = Win1252ToCodePoint(byte);
        if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::vector<std::string_view> ExportFieldNames() {
    std::vector<std::string_view> names;
    const CardRecordView empty;
    for (const auto& field : ExportFields(empty)) names.push_back(field.name);
    return names;
}

}  // namespace tessarel::cli
