#include "CardCsv.h"

#include <charconv>

#include "CardExportFields.h"
#include "ExportTextScan.h"

namespace tessarel::cli {
namespace {

constexpr std::string_view kRowEnd = "\r\n";

// A card text (Windows-1252 bytes) as AppendCsvField writes its UTF-8: the quoting concerns only
// ASCII characters, where both encodings agree, so the text is decoded as it is appended.
void AppendCsvText(SecureString& out, std::string_view bytes) {
    const bool quoted = CsvNeedsQuotes(bytes);
    if (quoted) out.push_back('"');
    std::size_t plain = 0;
    for (std::size_t i = NextCsvSpecial(bytes, 0, quoted); i < bytes.size(); i = NextCsvSpecial(bytes, i + 1, quoted)) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out.append(bytes.substr(plain, i - plain));
        plain = i + 1;
        if (byte >= 0x80) {
            AppendWin1252AsUtf8(out, bytes.substr(i, 1));
        } else {
            out += "\"\"";
        }
    }
    out.append(bytes.substr(plain));
    if (quoted) out.push_back('"');
}

void AppendFieldText(SecureString& out, const ExportField& field) {
    switch (field.kind) {
        case ExportField::Kind::Text: AppendCsvText(out, field.text); break;
        case ExportField::Kind::Number: {
            char digits[16];
            const auto end = std::to_chars(digits, digits + sizeof digits, field.number).ptr;
            out.append(digits, static_cast<std::size_t>(end - digits));
            break;
        }
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

void ExportCsv(const OpenedCardFile& file, const ExportStream::Output& output) {
    ExportStream stream(output);
    SecureString& out = stream.Text();
    const auto names = ExportFieldNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i != 0) out.push_back(',');
        out += names[i];
    }
    out += kRowEnd;
    ForEachRecordInSaveOrder(file, [&](const CardRecordView& card) {
        const auto fields = ExportFields(card);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i != 0) out.push_back(',');
            AppendFieldText(out, fields[i]);
        }
        out += kRowEnd;
        stream.Boundary();
    });
    stream.Finish();
}

}  // namespace tessarel::cli
