#include "CardExportFields.h"

#include "cardstore/CategoryTable.h"
#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

ExportField Text(std::string_view name, std::string_view bytes) {
    ExportField field;
    field.name = name;
    field.kind = ExportField::Kind::Text;
    std::string utf8 = Win1252ToUtf8(bytes);
    field.text.assign(utf8);
    WipeString(utf8);
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

std::vector<ExportField> ExportFields(const CCard& card) {
    return {
        Number("category", card.GetCategoryCode()),
        Text("categoryName", CategoryName(card.GetCategoryCode())),
        Text("name", card.GetFieldText1()),
        Text("field2", card.GetFieldText2()),
        Text("field3", card.GetFieldText3()),
        Text("password", card.GetFieldText4()),
        Text("note", card.GetNote()),
        Number("modified", card.GetModified()),
        Number("recordFlags", card.GetRecordFlags()),
        Number("syncValue", card.GetSyncValue()),
        Number("statusFlags", card.GetStatusFlags()),
        Flag("deleted", card.IsDeleted()),
    };
}

std::vector<std::string_view> ExportFieldNames() {
    std::vector<std::string_view> names;
    for (const auto& field : ExportFields(CCard())) names.push_back(field.name);
    return names;
}

}  // namespace tessarel::cli
