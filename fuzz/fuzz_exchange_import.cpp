// The importers of other programs' exports (CSV and JSON) on arbitrary bytes. The first byte picks
// the format; the rest is the file. Whatever a reader accepts must become cards that save as a
// card file and read back with the same number of cards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzUserInterface.h"
#include "cardstore/CardFileFormat.h"
#include "exchange/CardImporter.h"
#include "exchange/CsvTable.h"
#include "exchange/ImportFormat.h"

namespace {

std::size_t CardCount(const tessarel::CCardFileData& data) {
    std::size_t count = data.GetDeletedList().GetCount();
    for (int code = 0; code < tessarel::kCategoryCount; ++code) count += static_cast<std::size_t>(data.GetCategoryList(code)->GetCount());
    return count;
}

// For the generic CSV: the first column names the card, the second (if any) is the password.
tessarel::CsvFieldMap MapOfHeader(std::string_view text) {
    tessarel::CsvFieldMap map;
    const auto table = tessarel::CsvTable::Parse(text.substr(0, text.find_first_of("\r\n")));
    if (table.Rows().empty()) return map;
    const auto& header = table.Rows().front().fields;
    map["Title"] = std::string(header[0]);
    if (header.size() > 1 && header[1] != header[0]) map["Password"] = std::string(header[1]);
    return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto& formats = tessarel::AllImportFormats();
    const tessarel::ImportFormat format = formats[data[0] % formats.size()];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    (void)tessarel::GuessImportFormat(text);

    const tessarel::ImportRead read = tessarel::ReadImport(format, text, MapOfHeader(text));
    if (!read.error.empty()) {
        if (!read.cards.empty()) std::abort();  // a refused source yields no cards
        return 0;
    }
    tessarel::CCardFileData imported;
    tessarel::ImportPlan plan = tessarel::ImportPlan::Make(read.cards, imported, {tessarel::UnsupportedText::Replace, true, 0});
    const std::size_t planned = plan.CardCount();
    plan.ApplyTo(imported);
    if (CardCount(imported) != planned) std::abort();

    tessarel::fuzz::FuzzUserInterface ui;
    tessarel::SecureBytes bytes;
    if (!tessarel::WriteCardFile(imported, bytes, ui)) std::abort();
    tessarel::CCardFileData reread;
    if (!tessarel::ReadCardFile(reread, bytes, "/fuzz/imported.qdf", ui).ok) std::abort();
    if (CardCount(reread) != CardCount(imported)) std::abort();
    return 0;
}
