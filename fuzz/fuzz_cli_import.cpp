// tessarel-cli import on arbitrary JSON text. What the importer accepts must save as a card file
// that reads back with the same cards: an accepted text that the program could not read again
// would be lost at the first import.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzUserInterface.h"
#include "cardstore/CardFileFormat.h"
#include "cli/CardJson.h"

namespace {

std::size_t CardCount(const tessarel::CCardFileData& data) {
    std::size_t count = data.GetDeletedList().GetCount();
    for (int code = 0; code < tessarel::kCategoryCount; ++code) count += static_cast<std::size_t>(data.GetCategoryList(code)->GetCount());
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tessarel::CCardFileData imported;
    const auto result = tessarel::cli::ImportJson(std::string_view(reinterpret_cast<const char*>(data), size), imported);
    if (!result.error.empty()) return 0;

    tessarel::fuzz::FuzzUserInterface ui;
    tessarel::SecureBytes bytes;
    if (!tessarel::WriteCardFile(imported, bytes, ui)) std::abort();
    tessarel::CCardFileData reread;
    if (!tessarel::ReadCardFile(reread, bytes, "/fuzz/imported.qdf", ui).ok) std::abort();
    if (CardCount(reread) != CardCount(imported)) std::abort();
    return 0;
}
