#pragma once
// A JSON document held as a tree, read by a small strict parser (RFC 8259) in standard C++ so the
// core can read other programs' JSON exports without Qt. Nesting is bounded, so a hostile file
// cannot exhaust the stack. Strings are UTF-8 held where they are wiped on release: exports carry
// passwords.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/SecureBuffer.h"

namespace tessarel {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    // The document, or nullptr with `error` set ("... at offset N").
    static std::unique_ptr<JsonValue> Parse(std::string_view text, std::string& error);

    Type GetType() const { return type; }
    bool IsString() const { return type == Type::String; }
    bool IsArray() const { return type == Type::Array; }
    bool IsObject() const { return type == Type::Object; }
    bool IsNumber() const { return type == Type::Number; }
    bool IsBool() const { return type == Type::Bool; }

    bool AsBool() const { return boolean; }
    double AsNumber() const { return number; }
    const SecureString& AsString() const { return text; }
    const std::vector<JsonValue>& Items() const { return items; }
    const std::vector<std::pair<std::string, JsonValue>>& Members() const { return members; }

    // The member of an object with that key (the last one when repeated), or nullptr.
    const JsonValue* Find(std::string_view key) const;
    // The member's string, "" when it is missing, null or not a string.
    SecureString StringOf(std::string_view key) const;

private:
    friend class JsonParser;
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    SecureString text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;
};

}  // namespace tessarel
