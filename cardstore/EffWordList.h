#pragma once
// The EFF long word list (7776 words, for five dice), built into the program from the Debian
// package diceware at configure time (cmake/EffWordList.cmake). CC BY 3.0, see docs/licences.md.

#include <array>
#include <cstddef>
#include <string_view>

namespace tessarel {

inline constexpr std::size_t kEffWordCount = 7776;

const std::array<std::string_view, kEffWordCount>& EffLongWordList();

}  // namespace tessarel
