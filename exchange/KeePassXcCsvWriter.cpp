#include "KeePassXcCsvWriter.h"

#include "ExchangeTime.h"
#include "cardstore/CategoryTable.h"
#include "core/Win1252.h"

namespace tessarel {
namespace {

void AppendQuoted(SecureString& out, std::string_view text) {
    out.push_back('"');
    for (const char c : text) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

// Card bytes as UTF-8, the conversion's copy wiped: passwords pass through here.
void AppendCardText(SecureString& out, std::string_view bytes, bool lineFeeds) {
    std::string utf8 = Win1252ToUtf8(bytes);
    if (lineFeeds) {
        SecureString lf;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
            lf.push_back(utf8[i]);
        }
        AppendQuoted(out, lf);
    } else {
        AppendQuoted(out, utf8);
    }
    WipeString(utf8);
}

}  // namespace

SecureString WriteKeePassXcCsv(const CCardFileData& data) {
    SecureString out = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\",\"Created\"\n";
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const auto& card : *data.GetCategoryList(code)) {
            AppendQuoted(out, "Root/" + std::string(CategoryName(code)));
            out.push_back(',');
            AppendCardText(out, card->GetFieldText1(), false);
            out.push_back(',');
            AppendCardText(out, card->GetFieldText3(), false);
            out.push_back(',');
            AppendCardText(out, card->GetFieldText4(), false);
            out.push_back(',');
            AppendCardText(out, card->GetFieldText2(), false);
            out.push_back(',');
            AppendCardText(out, card->GetNote(), true);
            const std::string date = IsoUtcFromCardStamp(card->GetModified());
            out += ",\"\",\"0\",\"" + date + "\",\"" + date + "\"\n";
        }
    }
    return out;
}

}  // namespace tessarel
