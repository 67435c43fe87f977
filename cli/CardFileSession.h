#pragma once
// Opening a card file for one command, and the orders in which the commands walk its cards.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cardstore/CardFileFormat.h"

namespace tessarel::cli {

struct OpenedCardFile {
    CCardFileData data;
    CardFileReadResult result;
    // With `keepRecords`, a current-layout file's plain records stay here as bytes and `data`
    // gets no cards; ForEachRecordInSaveOrder walks them.
    bool recordsKept = false;
    SecureBytes records;                        // holds the records, perhaps after the file's header
    std::span<const std::uint8_t> recordsView;  // the records inside `records`
    std::size_t recordsSlack = 0;
};

// Reads the file as the program opens it. When the open fails, the reader has shown its own
// message and, as the program does, "Failed to open document." follows; the result is then null.
// A name ending in "~~~" is an encrypted single file, which no card command reads.
std::unique_ptr<OpenedCardFile> OpenCardFile(const std::string& path, UserInterface& ui, int dateFormat = 0,
                                             bool keepRecords = false);

// Codes 0 to 14, each list in its own order, then the deleted list: the order of a saved file.
std::vector<const CCard*> CardsInSaveOrder(const CCardFileData& data);

// The cards of an opened file in that order, whether it kept its records or read them into lists.
// Kept records are read in place, as views, without a card object each.
void ForEachRecordInSaveOrder(const OpenedCardFile& file, const std::function<void(const CardRecordView&)>& visit);

// The "Date Format" setting of the program (section "Internet Preferences", default 0).
int DateFormatSetting();

// A command-line argument (UTF-8) as card bytes; nullopt, with a message on standard error,
// when it holds a character that Windows-1252 cannot.
std::optional<std::string> ArgumentToCardText(const std::string& argument, std::string_view what);

// "U+20AC" and the like, for messages about characters.
std::string CodePointName(char32_t codePoint);

}  // namespace tessarel::cli
