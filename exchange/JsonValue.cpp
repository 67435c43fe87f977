#include "JsonValue.h"

#include <charconv>
#include <limits>

namespace tessarel {
namespace {

constexpr int kMaxDepth = 64;

struct JsonFault {
    std::string what;
    std::size_t offset;
};

void AppendUtf8(SecureString& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

class JsonParser {
public:
    explicit JsonParser(std::string_view input) : text(input) {}

    void ParseDocument(JsonValue& root) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
        ParseValue(root, 0);
        SkipSpace();
        if (pos != text.size()) Fail("text after the end of the document");
    }

private:
    [[noreturn]] void Fail(const std::string& what) { throw JsonFault{what, pos}; }

    void SkipSpace() {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r')) ++pos;
    }

    bool Consume(std::string_view word) {
        if (text.substr(pos, word.size()) != word) return false;
        pos += word.size();
        return true;
    }

    void ParseValue(JsonValue& value, int depth) {
        if (depth > kMaxDepth) Fail("nesting deeper than " + std::to_string(kMaxDepth) + " levels");
        SkipSpace();
        if (pos >= text.size()) Fail("unexpected end of the text");
        const char c = text[pos];
        if (c == '{') return ParseObject(value, depth);
        if (c == '[') return ParseArray(value, depth);
        if (c == '"') {
            value.type = JsonValue::Type::String;
            return ParseString(value.text);
        }
        if (Consume("true")) { value.type = JsonValue::Type::Bool; value.boolean = true; return; }
        if (Consume("false")) { value.type = JsonValue::Type::Bool; return; }
        if (Consume("null")) return;
        if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber(value);
        Fail("unexpected character");
    }

    void ParseObject(JsonValue& value, int depth) {
        value.type = JsonValue::Type::Object;
        ++pos;
        SkipSpace();
        if (pos < text.size() && text[pos] == '}') { ++pos; return; }
        for (;;) {
            SkipSpace();
            if (pos >= text.size() || text[pos] != '"') Fail("a key in quotes expected");
            SecureString key;
            ParseString(key);
            SkipSpace();
            if (pos >= text.size() || text[pos] != ':') Fail("':' expected");
            ++pos;
            value.members.emplace_back(std::string(key), JsonValue());
            ParseValue(value.members.back().second, depth + 1);
            SkipSpace();
            if (pos < text.size() && text[pos] == ',') { ++pos; continue; }
            if (pos < text.size() && text[pos] == '}') { ++pos; return; }
            Fail("',' or '}' expected");
        }
    }

    void ParseArray(JsonValue& value, int depth) {
        value.type = JsonValue::Type::Array;
        ++pos;
        SkipSpace();
        if (pos < text.size() && text[pos] == ']') { ++pos; return; }
        for (;;) {
            value.items.emplace_back();
            ParseValue(value.items.back(), depth + 1);
            SkipSpace();
            if (pos < text.size() && text[pos] == ',') { ++pos; continue; }
            if (pos < text.size() && text[pos] == ']') { ++pos; return; }
            Fail("',' or ']' expected");
        }
    }

    unsigned HexQuad() {
        if (pos + 4 > text.size()) Fail("a \\u escape needs four hex digits");
        unsigned result = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text[pos++];
            result <<= 4;
            if (h >= '0' && h <= '9') result |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f') result |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') result |= static_cast<unsigned>(h - 'A' + 10);
            else Fail("a \\u escape needs four hex digits");
        }
        return result;
    }

    char32_t Escape() {
        if (pos >= text.size()) Fail("unexpected end of the text");
        switch (text[pos++]) {
            case '"': return '"';
            case '\\': return '\\';
            case '/': return '/';
            case 'b': return '\b';
            case 'f': return '\f';
            case 'n': return '\n';
            case 'r': return '\r';
            case 't': return '\t';
            case 'u': break;
            default: Fail("unknown escape");
        }
        const unsigned first = HexQuad();
        if (first >= 0xDC00 && first <= 0xDFFF) Fail("a lone surrogate escape, which is no character");
        if (first < 0xD800 || first > 0xDBFF) return first;
        if (!Consume("\\u")) Fail("a lone surrogate escape, which is no character");
        const unsigned second = HexQuad();
        if (second < 0xDC00 || second > 0xDFFF) Fail("a lone surrogate escape, which is no character");
        return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
    }

    void ParseString(SecureString& out) {
        ++pos;
        for (;;) {
            if (pos >= text.size()) Fail("a string is not closed");
            const char c = text[pos];
            if (c == '"') { ++pos; return; }
            if (static_cast<unsigned char>(c) < 0x20) Fail("a control character inside a string");
            if (c == '\\') {
                ++pos;
                AppendUtf8(out, Escape());
                continue;
            }
            out.push_back(c);
            ++pos;
        }
    }

    void ParseNumber(JsonValue& value) {
        const std::size_t start = pos;
        if (text[pos] == '-') ++pos;
        auto digits = [&] {
            const std::size_t from = pos;
            while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
            if (pos == from) Fail("a digit expected");
        };
        if (pos < text.size() && text[pos] == '0') ++pos;
        else digits();
        if (pos < text.size() && text[pos] == '.') { ++pos; digits(); }
        if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
            ++pos;
            if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
            digits();
        }
        value.type = JsonValue::Type::Number;
        // from_chars ignores the locale, unlike strtod; out-of-range numbers keep their sign as infinity.
        const auto result = std::from_chars(text.data() + start, text.data() + pos, value.number);
        if (result.ec == std::errc::result_out_of_range) value.number = text[start] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }

    std::string_view text;
    std::size_t pos = 0;
};

std::unique_ptr<JsonValue> JsonValue::Parse(std::string_view text, std::string& error) {
    auto root = std::make_unique<JsonValue>();
    try {
        JsonParser(text).ParseDocument(*root);
    } catch (const JsonFault& fault) {
        error = fault.what + " at offset " + std::to_string(fault.offset);
        return nullptr;
    }
    return root;
}

const JsonValue* JsonValue::Find(std::string_view key) const {
    const JsonValue* found = nullptr;
    for (const auto& member : members) {
        if (member.first == key) found = &member.second;
    }
    return found;
}

SecureString JsonValue::StringOf(std::string_view key) const {
    const JsonValue* member = Find(key);
    return member && member->IsString() ? member->text : SecureString();
}

}  // namespace tessarel
