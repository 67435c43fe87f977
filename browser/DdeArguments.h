#pragma once
// The argument text of the "WWW_" verbs: a comma-separated list of fields, each written by its
// type code ("DW" number, "QCS" quoted text, "CS" plain text, "BL" TRUE/FALSE), and the decoding
// of replies, which for a layout of exactly "DW" or "BL" are binary values instead of text.
// Texts are the program's 8-bit bytes and pass through unchanged.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessarel::browser {

// One argument; monostate is a missing argument and leaves its field empty.
using DdeValue = std::variant<std::monostate, std::uint32_t, std::string, bool>;

class DdeArguments {
public:
    // The item text for the values under a layout such as "QCS,QCS,DW,DW,QCS,QCS,CS". A value
    // whose type does not fit its code is written as missing; the commas are always written.
    // The text is built in one buffer without copies, as an address may carry a password: a
    // caller that sends one wipes it afterwards (WipeString).
    static std::string Encode(std::string_view layout, const std::vector<DdeValue>& values);

    // Every field of the layout, typed by its code; a missing field reads as 0, empty or false.
    static std::vector<DdeValue> Decode(std::string_view layout, std::string_view text);

    // Reply data: binary for a layout of exactly "DW" (4 bytes, little-endian) or "BL" (2 bytes),
    // otherwise text as Decode reads it. Binary data shorter than its value reads as 0 / false.
    static std::vector<DdeValue> DecodeReply(std::string_view layout, std::string_view data);
    static std::string EncodeReply(std::string_view layout, const std::vector<DdeValue>& values);

    // "%lu" as the browsers write and read it: leading blanks, a sign, digits; no digits is 0.
    static std::uint32_t ReadNumber(std::string_view field);

    static std::vector<std::string_view> Codes(std::string_view layout);
};

}  // namespace tessarel::browser
