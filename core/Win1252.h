#pragma once
// Card texts are bytes of the Windows-1252 character set. This is the one conversion between
// them and Unicode (UTF-8). Decoding is total: the five unassigned bytes map to the C1 controls of
// the same value, so every byte string round-trips. Encoding refuses what the set cannot hold
// instead of silently changing it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarel {

std::string Win1252ToUtf8(std::string_view bytes);

// nullopt when the text is not valid UTF-8 or holds a character outside Windows-1252;
// `badCharacter` then receives the first offending code point (or U+FFFD for bad UTF-8).
std::optional<std::string> Utf8ToWin1252(std::string_view utf8, char32_t* badCharacter = nullptr);

// The code point of one Windows-1252 byte, and the byte of a code point (-1 when none).
char32_t Win1252ToCodePoint(unsigned char byte);
int CodePointToWin1252(char32_t codePoint);

}  // namespace tessarel

namespace tessarel {

// Like Utf8ToWin1252, but total: every character the set cannot hold (and every byte that is not
// UTF-8, as U+FFFD) becomes `replacement` and is listed in `unsupported`, in order.
std::string Utf8ToWin1252Replacing(std::string_view utf8, char replacement, std::vector<char32_t>& unsupported);

}  // namespace tessarel
