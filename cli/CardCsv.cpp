#include "CardCsv.h"

#include "CardExportFields.h"

namespace tessarel::cli {
namespace {

constexpr std::string_view kRowEnd = "\r\n";

void AppendFieldText(SecureString& out, const ExportField& field) {
    switch (field.kind) {
        case ExportField::Kind::Text: AppendCsvField(out, field.text); break;
        case ExportField::Kind::Number: out += std::to_string(field.number); break;
        case ExportField::Kind::Flag: out += field.flag ? "true" : "false"; break;
    }
}

}  // namespace

void AppendCsvField(SecureString& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out.push_back('"');
    for (const char c : text) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

SecureString ExportCsv(const OpenedCardFile& file) {
    SecureString out;
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
            AppendFieldText(out, fields[i]);
        }
        out += kRowEnd;
    }
    return out;
}

}  // namespace tessarel::cli
