#include "CardJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>
#include <tuple>
#include <utility>

#include "CardExportFields.h"
#include "ExportTextScan.h"
#include "core/Win1252.h"

namespace tessarel::cli {
namespace {

// --- writing -------------------------------------------------------------------------------
// Written by hand rather than through QJsonDocument so the keys keep the schema's order.

// One character of a JSON string: quote, backslash and control characters escaped.
void AppendJsonCharacter(SecureString& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            } else {
                out.push_back(c);
            }
    }
}

// Runs of characters that need no escape go out in one append (the field names are all such runs).
void AppendJsonString(SecureString& out, std::string_view utf8) {
    out.push_back('"');
    std::size_t plain = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
        out.append(utf8.substr(plain, i - plain));
        plain = i + 1;
        AppendJsonCharacter(out, utf8[i]);
    }
    out.append(utf8.substr(plain));
    out.push_back('"');
}

void AppendNumber(SecureString& out, std::uint32_t number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

// A card text (Windows-1252 bytes) as a JSON string: decoded as it is appended, so no UTF-8 copy
// of the text is made. Escapes only ever concern ASCII, where both encodings agree.
void AppendJsonText(SecureString& out, std::string_view bytes) {
    out.push_back('"');
    std::size_t plain = 0;  // start of the run of bytes that go out as they are
    for (std::size_t i = NextJsonSpecial(bytes, 0); i < bytes.size(); i = NextJsonSpecial(bytes, i + 1)) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out.append(bytes.substr(plain, i - plain));
        plain = i + 1;
        if (byte >= 0x80) {
            AppendWin1252AsUtf8(out, bytes.substr(i, 1));
        } else {
            AppendJsonCharacter(out, bytes[i]);
        }
    }
    out.append(bytes.substr(plain));
    out.push_back('"');
}

using FieldRow = decltype(ExportFields(std::declval<const CardRecordView&>()));
using FieldPrefixes = std::array<std::string, std::tuple_size_v<FieldRow>>;

// What goes before each field's value (the line break, the indent and the quoted key), written
// once per export instead of once per card: the keys are the same for every card.
FieldPrefixes MakeFieldPrefixes() {
    FieldPrefixes prefixes;
    const auto names = ExportFieldNames();
    for (std::size_t f = 0; f < prefixes.size(); ++f) {
        SecureString key;
        AppendJsonString(key, names[f]);
        prefixes[f] = std::string(f == 0 ? "\n      " : ",\n      ") + std::string(key) + ": ";
    }
    return prefixes;
}

void AppendField(SecureString& out, std::string_view prefix, const ExportField& field) {
    out += prefix;
    switch (field.kind) {
        case ExportField::Kind::Text: AppendJsonText(out, field.text); break;
        case ExportField::Kind::Number: AppendNumber(out, field.number); break;
        case ExportField::Kind::Flag: out += field.flag ? "true" : "false"; break;
    }
}

std::string_view LayoutName(CardFileLayout layout) {
    switch (layout) {
        case CardFileLayout::Legacy1001: return "1.001";
        case CardFileLayout::Legacy1002: return "1.002";
        case CardFileLayout::Sealed: return "sealed";
        default: return "current";
    }
}

// --- reading -------------------------------------------------------------------------------

// Texts of a card are shorter than this many bytes: the format counts them in 16 bits.
constexpr std::size_t kMaxTextBytes = 32767;

const std::set<QString> kTopKeys = {"layout", "encrypted", "version", "carried", "cards"};

struct Refusal {
    std::string text;
};

std::string Where(int index, const char* key) { return "cards[" + std::to_string(index) + "]." + key; }

std::uint32_t Integer(const QJsonValue& value, const std::string& where, double max) {
    const double number = value.toDouble();
    if (!value.isDouble() || !std::isfinite(number) || number != std::floor(number) || number < 0 || number > max) {
        throw Refusal{"\"" + where + "\" must be a whole number from 0 to " + std::to_string(static_cast<std::uint64_t>(max)) + "."};
    }
    return static_cast<std::uint32_t>(number);
}

// A message names the field, never a character of a password: only the other texts show which
// character is at fault.
std::string CardText(const QJsonValue& value, const std::string& where, bool secret = false) {
    if (!value.isString()) throw Refusal{"\"" + where + "\" must be a string."};
    if (!value.toString().isValidUtf16()) throw Refusal{"\"" + where + "\" holds a lone surrogate escape, which is no character."};
    char32_t bad = 0;
    auto bytes = Utf8ToWin1252(value.toString().toStdString(), &bad);
    if (!bytes) throw Refusal{"\"" + where + "\" holds " + (secret ? std::string("a character") : CodePointName(bad)) + ", which Windows-1252 cannot hold."};
    // A zero byte ends a text on file: the fields after it would shift.
    if (bytes->find('\0') != std::string::npos) {
        throw Refusal{"\"" + where + "\" holds " + (secret ? "a zero character" : "U+0000") + ", which a card text cannot hold."};
    }
    if (bytes->size() >= kMaxTextBytes) {
        throw Refusal{"\"" + where + "\" is " + std::to_string(bytes->size()) + " bytes long; card texts are shorter than 32767."};
    }
    return *bytes;
}

bool Flag(const QJsonValue& value, const std::string& where) {
    if (!value.isBool()) throw Refusal{"\"" + where + "\" must be true or false."};
    return value.toBool();
}

std::unique_ptr<CCard> CardFromJson(const QJsonValue& value, int index) {
    if (!value.isObject()) throw Refusal{"cards[" + std::to_string(index) + "] must be an object."};
    const QJsonObject object = value.toObject();
    std::set<QString> known;
    for (const auto name : ExportFieldNames()) known.insert(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    for (const auto& key : object.keys()) {
        if (known.count(key) == 0) throw Refusal{"cards[" + std::to_string(index) + "] has the unknown key \"" + key.toStdString() + "\"."};
    }
    if (!object.contains("category")) throw Refusal{"cards[" + std::to_string(index) + "] has no \"category\"."};

    auto card = std::make_unique<CCard>();
    card->SetCategoryCode(static_cast<std::uint8_t>(Integer(object["category"], Where(index, "category"), 255)));
    if (object.contains("categoryName")) CardText(object["categoryName"], Where(index, "categoryName"));  // checked, not used: the code decides
    if (object.contains("name")) card->SetFieldText1(CardText(object["name"], Where(index, "name")));
    if (object.contains("field2")) card->SetFieldText2(CardText(object["field2"], Where(index, "field2")));
    if (object.contains("field3")) card->SetFieldText3(CardText(object["field3"], Where(index, "field3")));
    if (object.contains("password")) card->SetFieldText4(CardText(object["password"], Where(index, "password"), true));
    if (object.contains("note")) card->SetNote(CardText(object["note"], Where(index, "note")));
    if (object.contains("modified")) card->SetModified(Integer(object["modified"], Where(index, "modified"), 4294967295.0));
    if (object.contains("recordFlags")) card->SetRecordFlags(static_cast<std::uint8_t>(Integer(object["recordFlags"], Where(index, "recordFlags"), 255)));
    if (object.contains("syncValue")) card->SetSyncValue(Integer(object["syncValue"], Where(index, "syncValue"), 4294967295.0));
    if (object.contains("statusFlags")) card->SetStatusFlags(static_cast<std::uint8_t>(Integer(object["statusFlags"], Where(index, "statusFlags"), 255)));

    // statusFlags decides, as it does on file; a "deleted" that says otherwise is a mistake we
    // would otherwise carry out silently.
    if (object.contains("deleted") && Flag(object["deleted"], Where(index, "deleted")) != card->IsDeleted()) {
        throw Refusal{"\"" + Where(index, "deleted") + "\" disagrees with bit 0x02 of \"statusFlags\", which decides."};
    }
    if (!card->IsDeleted() && card->GetCategoryCode() >= kCategoryCount) {
        throw Refusal{"\"" + Where(index, "category") + "\" is " + std::to_string(card->GetCategoryCode()) +
                      "; a card that is not deleted needs a category from 0 to 14."};
    }
    return card;
}

void ReadTop(const QJsonObject& top, bool& encrypted, std::uint32_t& carried) {
    for (const auto& key : top.keys()) {
        if (kTopKeys.count(key) == 0) throw Refusal{"unknown key \"" + key.toStdString() + "\"."};
    }
    if (top.contains("layout")) {
        const QString layout = top["layout"].toString();
        if (layout != "current" && layout != "1.001" && layout != "1.002" && layout != "sealed")
            throw Refusal{"\"layout\" must be \"current\", \"1.001\", \"1.002\" or \"sealed\"."};
    }
    if (top.contains("version")) Integer(top["version"], "version", 255);  // the program always writes its own version
    if (top.contains("encrypted")) encrypted = Flag(top["encrypted"], "encrypted");
    if (top.contains("carried")) carried = Integer(top["carried"], "carried", 4294967295.0);
    if (!top["cards"].isArray()) throw Refusal{"\"cards\" must be an array."};
}

}  // namespace

void ExportJson(const OpenedCardFile& file, const ExportStream::Output& output) {
    ExportStream stream(output);
    SecureString& out = stream.Text();
    out += "{\n  \"layout\": ";
    AppendJsonString(out, LayoutName(file.result.layout));
    out += ",\n  \"encrypted\": ";
    out += file.result.encrypted ? "true" : "false";
    if (file.result.layout == CardFileLayout::Current) {
        out += ",\n  \"version\": " + std::to_string(file.result.version);
        out += ",\n  \"carried\": " + std::to_string(file.data.carriedValue);
    } else if (file.result.layout == CardFileLayout::Sealed) {
        // A sealed file keeps the carried value in its header too.
        out += ",\n  \"carried\": " + std::to_string(file.data.carriedValue);
    }
    out += ",\n  \"cards\": [";
    bool first = true;
    const FieldPrefixes prefixes = MakeFieldPrefixes();
    ForEachRecordInSaveOrder(file, [&](const CardRecordView& card) {
        out += first ? "\n    {" : ",\n    {";
        first = false;
        const auto fields = ExportFields(card);
        for (std::size_t f = 0; f < fields.size(); ++f) AppendField(out, prefixes[f], fields[f]);
        out += "\n    }";
        stream.Boundary();
    });
    out += first ? "]\n}\n" : "\n  ]\n}\n";
    stream.Finish();
}

SecureString ExportJson(const OpenedCardFile& file) {
    SecureString whole;
    ExportJson(file, [&whole](std::string_view text) { whole += text; });
    return whole;
}

JsonImport ImportJson(std::string_view json, CCardFileData& data) {
    JsonImport result;
    QJsonParseError parseError;
    const auto document = QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = "not valid JSON: " + parseError.errorString().toStdString() + " at offset " + std::to_string(parseError.offset) + ".";
        return result;
    }
    if (!document.isObject()) {
        result.error = "the top level must be an object.";
        return result;
    }
    try {
        bool encrypted = false;
        std::uint32_t carried = 0;
        const QJsonObject top = document.object();
        ReadTop(top, encrypted, carried);
        const QJsonArray cards = top["cards"].toArray();
        std::vector<std::unique_ptr<CCard>> read;
        for (int i = 0; i < cards.size(); ++i) read.push_back(CardFromJson(cards[i], i));
        for (auto& card : read) data.PlaceCard(std::move(card));
        data.carriedValue = carried;
        result.encrypted = encrypted;
    } catch (const Refusal& refusal) {
        result.error = refusal.text;
    }
    return result;
}

}  // namespace tessarel::cli
