#include <gtest/gtest.h>

#include "core/Win1252.h"

namespace tessarel {
namespace {

TEST(Win1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = Win1252ToUtf8(all);
    const auto back = Utf8ToWin1252(utf8);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
}

TEST(Win1252, KnownCharacters) {
    EXPECT_EQ(Win1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Win1252ToUtf8("\x9F"), "\u0178");
    EXPECT_EQ(Win1252ToUtf8("\xE9"), "\u00E9");
    EXPECT_EQ(Win1252ToUtf8("\x81"), "\u0081");  // unassigned: kept as the control of the same value
    EXPECT_EQ(*Utf8ToWin1252("\u2122 caf\u00E9"), "\x99 caf\xE9");
}

TEST(Win1252, RefusesWhatItCannotHold) {
    char32_t bad = 0;
    EXPECT_FALSE(Utf8ToWin1252("snow \u2603", &bad));
    EXPECT_EQ(bad, U'\u2603');
    EXPECT_FALSE(Utf8ToWin1252("\xC3", &bad));       // truncated sequence
    EXPECT_FALSE(Utf8ToWin1252("\xC0\xAF", &bad));   // overlong
    EXPECT_FALSE(Utf8ToWin1252("\xED\xA0\x80", &bad));  // surrogate
}

}  // namespace
}  // namespace tessarel
