#include <gtest/gtest.h>

#include <string>

#include "cli/ExportTextScan.h"

namespace tessarel::cli {
namespace {

bool JsonSpecial(unsigned char byte) { return byte < 0x20 || byte >= 0x80 || byte == '"' || byte == '\\'; }
bool CsvSpecial(unsigned char byte, bool quoted) { return byte >= 0x80 || (quoted && byte == '"'); }
bool CsvQuoted(std::string_view text) { return text.find_first_of(",\"\r\n") != std::string_view::npos; }

// The word-at-a-time search against the byte-by-byte rule: every byte value at every position of
// texts up to three words long (so at the start, inside and at the end of a word, and in the
// short tail), searched from every starting point. A second special byte after the first checks
// that the search stops at the first.
TEST(ExportTextScan, FindsEveryByteValueAtEveryPositionLikeTheByteRule) {
    for (std::size_t length = 1; length <= 24; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (int value = 0; value < 256; ++value) {
                std::string text(length, 'a');
                text[at] = static_cast<char>(value);
                if (at + 2 < length) text[at + 2] = '"';
                ASSERT_EQ(CsvNeedsQuotes(text), CsvQuoted(text)) << "value " << value << " at " << at << " of " << length;
                ASSERT_EQ(CsvNeedsQuotes(text.substr(0, at + 1)), CsvQuoted(text.substr(0, at + 1))) << "value " << value << " at " << at;
                for (std::size_t from = 0; from <= length; ++from) {
                    std::size_t json = length, csv = length, quotedCsv = length;
                    for (std::size_t i = length; i-- > from;) {
                        const auto byte = static_cast<unsigned char>(text[i]);
                        if (JsonSpecial(byte)) json = i;
                        if (CsvSpecial(byte, false)) csv = i;
                        if (CsvSpecial(byte, true)) quotedCsv = i;
                    }
                    ASSERT_EQ(NextJsonSpecial(text, from), json) << "value " << value << " at " << at << " of " << length << " from " << from;
                    ASSERT_EQ(NextCsvSpecial(text, from, false), csv) << "value " << value << " at " << at << " of " << length;
                    ASSERT_EQ(NextCsvSpecial(text, from, true), quotedCsv) << "value " << value << " at " << at << " of " << length;
                }
            }
        }
    }
}

// Bytes just beside the edges of each class: 0x1F/0x20, 0x7F/0x80, and the neighbours of '"' and
// '\\', which a wrong constant in the word test would confuse.
TEST(ExportTextScan, NeighboursOfTheSpecialBytesAreNotSpecial) {
    for (const char plain : {' ', '!', '#', '[', ']', '\x7F'}) {
        const std::string text(17, plain);
        EXPECT_EQ(NextJsonSpecial(text, 0), text.size()) << int(plain);
        EXPECT_EQ(NextCsvSpecial(text, 0, true), text.size()) << int(plain);
    }
    EXPECT_EQ(NextJsonSpecial(std::string(9, ' ') + '\x1F', 0), 9u);
    EXPECT_EQ(NextCsvSpecial(std::string(9, '\x7F') + '\x80', 0, false), 9u);
}

}  // namespace
}  // namespace tessarel::cli
