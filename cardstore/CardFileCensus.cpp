#include "CardFileCensus.h"

namespace tessarel {
namespace {

std::string Megabytes(std::uint64_t bytes) {
    constexpr std::uint64_t kMegabyte = std::uint64_t{1} << 20;
    return std::to_string((bytes + kMegabyte - 1) / kMegabyte) + " MB";
}

}  // namespace

void CardFileCensus::Count(int list, std::size_t bytes) {
    if (list < 0 || list > kDeletedList) return;
    ++perList[static_cast<std::size_t>(list)];
    ++cards;
    textBytes += bytes;
}

void CardFileCensus::Prepare(CCardFileData& doc, std::uint64_t available) const {
    if (BytesNeeded() > available) throw CardFileTooLarge{BytesNeeded(), available};
    for (int list = 0; list < kCategoryCount; ++list) doc.GetCategoryList(list)->Reserve(perList[static_cast<std::size_t>(list)]);
    doc.GetDeletedList().Reserve(perList[kDeletedList]);
}

std::string CardFileTooLargeMessage(const CardFileTooLarge& refusal) {
    return "This file is too large to open: its cards need about " + Megabytes(refusal.needed) + " of memory, and only " +
           Megabytes(refusal.available) + " are available.";
}

std::string CardFileOutOfMemoryMessage() { return "This file is too large to open: there is not enough memory to read its cards."; }

std::string CardFileBeyondLimitMessage(std::uint64_t limit) {
    return "This file is too large to open: card files are read whole, up to " + Megabytes(limit) + ".";
}

}  // namespace tessarel
