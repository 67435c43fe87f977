#include "browser/DdeArguments.h"

#include <limits>

namespace tessarel::browser {
namespace {

// Addresses may carry a card's password (Automatic Access), so the item text is written in place
// into room reserved up front: no temporary copy of a field and no buffer left behind by growth.
void AppendField(std::string& out, std::string_view code, const DdeValue& value) {
    if (code == "DW") {
        if (const auto* number = std::get_if<std::uint32_t>(&value)) out += std::to_string(*number);
    } else if (code == "QCS") {
        if (const auto* text = std::get_if<std::string>(&value)) {
            out += '"';
            for (const char c : *text) {
                if (c == '"') out += '\\';
                out += c;
            }
            out += '"';
        }
    } else if (code == "CS") {
        if (const auto* text = std::get_if<std::string>(&value)) out += *text;
    } else if (code == "BL") {
        if (const auto* flag = std::get_if<bool>(&value)) out += *flag ? "TRUE" : "FALSE";
    }
}

// The most any value can take encoded: a quoted text with every character escaped.
std::size_t EncodedBound(const std::vector<DdeValue>& values, std::size_t fields) {
    std::size_t bound = fields;  // commas
    for (const auto& value : values) {
        if (const auto* text = std::get_if<std::string>(&value)) bound += 2 * text->size() + 2;
        else bound += 10;  // a 32-bit number, or "FALSE"
    }
    return bound;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

DdeValue ConvertField(std::string_view code, std::string&& field) {
    if (code == "DW") return DdeArguments::ReadNumber(field);
    if (code == "BL") return EqualsIgnoringCase(field, "TRUE");
    return std::move(field);
}

// Cuts field after field: a field that starts with a quote runs to its closing quote (a
// backslash-quote does not close it, and loses its backslash); any field ends at the next comma.
class FieldCursor {
public:
    explicit FieldCursor(std::string_view source) : text(source) {}

    std::string Next() {
        if (at >= text.size()) return {};
        std::string value;
        value.reserve(text.size() - at);  // one buffer: a field may hold a password
        if (text[at] == '"') {
            ++at;
            while (at < text.size() && text[at] != '"') {
                if (text[at] == '\\' && at + 1 < text.size() && text[at + 1] == '"') ++at;
                value += text[at++];
            }
            // What follows the closing quote up to the comma is not part of the value.
            while (at < text.size() && text[at] != ',') ++at;
        } else {
            while (at < text.size() && text[at] != ',') value += text[at++];
        }
        if (at < text.size()) ++at;  // the comma
        return value;
    }

private:
    std::string_view text;
    std::size_t at = 0;
};

std::uint32_t LittleEndian(std::string_view data, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    return value;
}

}  // namespace

std::vector<std::string_view> DdeArguments::Codes(std::string_view layout) {
    std::vector<std::string_view> codes;
    if (layout.empty()) return codes;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = layout.find(',', start);
        codes.push_back(layout.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) return codes;
        start = comma + 1;
    }
}

std::string DdeArguments::Encode(std::string_view layout, const std::vector<DdeValue>& values) {
    const auto codes = Codes(layout);
    std::string text;
    text.reserve(EncodedBound(values, codes.size()));
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i > 0) text += ',';
        if (i < values.size()) AppendField(text, codes[i], values[i]);
    }
    return text;
}

std::vector<DdeValue> DdeArguments::Decode(std::string_view layout, std::string_view text) {
    // Text data may come with the terminating NUL of a C string; nothing after it counts.
    text = text.substr(0, text.find('\0'));
    FieldCursor cursor(text);
    std::vector<DdeValue> values;
    for (const auto code : Codes(layout)) values.push_back(ConvertField(code, cursor.Next()));
    return values;
}

std::vector<DdeValue> DdeArguments::DecodeReply(std::string_view layout, std::string_view data) {
    if (layout == "DW") return {data.size() >= 4 ? LittleEndian(data, 4) : 0u};
    if (layout == "BL") return {data.size() >= 2 && LittleEndian(data, 2) != 0};
    return Decode(layout, data);
}

std::string DdeArguments::EncodeReply(std::string_view layout, const std::vector<DdeValue>& values) {
    if (layout == "DW" || layout == "BL") {
        std::uint32_t number = 0;
        if (!values.empty()) {
            if (const auto* given = std::get_if<std::uint32_t>(&values[0])) number = *given;
            if (const auto* flag = std::get_if<bool>(&values[0])) number = *flag ? 1 : 0;
        }
        const std::size_t size = layout == "DW" ? 4 : 2;
        std::string data;
        for (std::size_t i = 0; i < size; ++i) data += static_cast<char>((number >> (8 * i)) & 0xFF);
        return data;
    }
    return Encode(layout, values);
}

std::uint32_t DdeArguments::ReadNumber(std::string_view field) {
    std::size_t at = 0;
    while (at < field.size() && (field[at] == ' ' || (field[at] >= '\t' && field[at] <= '\r'))) ++at;
    bool negative = false;
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) negative = field[at++] == '-';
    std::uint64_t value = 0;
    bool overflow = false;
    for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) {
        value = value * 10 + static_cast<std::uint64_t>(field[at] - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) overflow = true, value = std::numeric_limits<std::uint32_t>::max();
    }
    // Out of range reads as the largest number; a minus sign wraps the value, as "%lu" does.
    if (overflow) return std::numeric_limits<std::uint32_t>::max();
    const auto number = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - number) : number;
}

}  // namespace tessarel::browser
