#include "CardCsv.h"

#include "CardExportFields.h"

namespace tessarel::cli {
namespace {

constexpr std::string_view kRowEnd = "\r\n";

std::string FieldText(const ExportField& field) {
    switch (field.kind) {
        case ExportField::Kind::Text: return CsvField(field.text);
        case ExportField::Kind::Number: return std::to_string(field.number);
        case ExportField::Kind::Flag: return field.flag ? "true" : "false";
    }
    return {};
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string ExportCsv(const OpenedCardFile& file) {
    std::string out;
    const auto names = ExportFieldNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i != 0) out.push_back(',');
        out += names[i];
    }
    out += kRowEnd;
    for (const CCard* card : CardsInSaveOrder(file.data)) {
        const auto fields = ExportFields(*card);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i != 0) out.push_back(',');
            out += FieldText(fields[i]);
        }
        out += kRowEnd;
    }
    return out;
}

}  // namespace tessarel::cli
