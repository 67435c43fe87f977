#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "ByteOrder.h"
#include "CardFileFormat.h"
#include "SealedCardFile.h"
#include "core/AtomicFileWriter.h"

namespace tessarel {

void WriteHeader(SecureBytes& out, const CardFileHeader& header, CCardFileData& doc) {
    std::uint8_t bytes[kHeaderSize];
    bytes[0] = header.byte0;
    bytes[1] = header.version;
    WriteLe16(bytes + 2, header.word2);
    WriteLe16(bytes + 4, header.word4);
    WriteLe16(bytes + 6, header.word6);
    WriteLe16(bytes + 8, header.word8);
    bytes[10] = header.byte10;
    bytes[11] = header.byte11;
    bytes[12] = header.bodyKind;
    bytes[13] = header.byte13;
    WriteLe32(bytes + 14, header.signature);
    WriteLe32(bytes + 18, header.carried);
    out.insert(out.end(), bytes, bytes + kHeaderSize);
    std::copy(bytes, bytes + kHeaderSize, doc.headerCopy.begin());
}

namespace {

std::size_t RecordTextBytes(const std::array<std::string_view, 5>& texts) {
    std::size_t n = 0;
    for (const std::string_view text : texts) n += text.size() + 1;
    return n;
}

std::size_t PutRecord(const CCard& card, const std::array<std::string_view, 5>& texts, std::uint8_t* at) {
    const std::size_t n = RecordTextBytes(texts);
    std::memset(at, 0, kRecordHeadSize);
    at[0] = card.GetCategoryCode();
    at[2] = card.GetRecordFlags();
    at[3] = card.GetStatusFlags();
    WriteLe32(at + 4, card.GetModified());
    WriteLe32(at + 8, card.GetSyncValue());
    WriteLe32(at + 20, static_cast<std::uint32_t>(n));
    std::uint8_t* text = at + kRecordHeadSize;
    for (const std::string_view field : texts) {
        // An empty text may have no storage at all (a null data pointer), which memcpy must not see.
        if (!field.empty()) std::memcpy(text, field.data(), field.size());
        text += field.size();
        *text++ = 0;
    }
    return kRecordHeadSize + n;
}

// From this many cards on, a second thread sizes half of them: below, starting it costs more than
// it saves.
constexpr std::size_t kSharedSizingCards = 32768;

using SaveOrderLists = std::array<const CCardList*, kCategoryCount + 1>;

SaveOrderLists ListsInSaveOrder(const CCardFileData& doc) {
    SaveOrderLists lists{};
    for (int code = 0; code < kCategoryCount; ++code) lists[static_cast<std::size_t>(code)] = doc.GetCategoryList(code);
    lists[kCategoryCount] = &doc.GetDeletedList();
    return lists;
}

// The bytes of cards [from, to) of all lists taken one after the other.
std::size_t SizeOfCards(const SaveOrderLists& lists, std::size_t from, std::size_t to) {
    std::size_t total = 0;
    std::size_t listStart = 0;
    for (const CCardList* list : lists) {
        const auto count = static_cast<std::size_t>(list->GetCount());
        if (from < listStart + count && to > listStart)
            list->VisitAhead(std::max(from, listStart) - listStart, std::min(to, listStart + count) - listStart,
                             [&total](const CCard& card) { total += card.ByteSize(); });
        listStart += count;
    }
    return total;
}

}  // namespace

std::size_t RecordBytes(const CCardFileData& doc) {
    const SaveOrderLists lists = ListsInSaveOrder(doc);
    std::size_t cards = 0;
    for (const CCardList* list : lists) cards += static_cast<std::size_t>(list->GetCount());
    if (cards < kSharedSizingCards || std::thread::hardware_concurrency() < 2) return SizeOfCards(lists, 0, cards);
    // The sizes come before anything else of a save (the buffer is reserved from them), with the
    // other cores idle: the second half is sized beside the first.
    std::size_t back = 0;
    std::thread helper;
    try {
        helper = std::thread([&lists, &back, cards] { back = SizeOfCards(lists, cards / 2, cards); });
    } catch (const std::system_error&) {
        return SizeOfCards(lists, 0, cards);
    }
    const std::size_t front = SizeOfCards(lists, 0, cards / 2);
    helper.join();
    return front + back;
}

std::size_t PutCardRecord(const CCard& card, std::uint8_t* at) {
    return PutRecord(card, card.RecordTexts(), at);
}

void WriteCardRecord(const CCard& card, SecureBytes& out) {
    // One growth per record; the writers reserve the whole file first, so the buffer never moves.
    // The card's texts are looked up once for the size and the bytes.
    const auto texts = card.RecordTexts();
    const std::size_t start = out.size();
    out.resize(start + kRecordHeadSize + RecordTextBytes(texts));
    PutRecord(card, texts, out.data() + start);
}

void WriteAllRecords(const CCardFileData& doc, SecureBytes& out) {
    doc.VisitInSaveOrder([&out](const CCard& card) { WriteCardRecord(card, out); });
}

bool AppendAllRecords(const CCardFileData& doc, SecureBytes& out, const std::function<void(std::size_t)>& appended) {
    bool fits = true;
    doc.VisitInSaveOrder([&](const CCard& card) {
        if (!fits) return;
        const auto texts = card.RecordTexts();
        const std::size_t start = out.size();
        const std::size_t size = kRecordHeadSize + RecordTextBytes(texts);
        fits = size <= out.capacity() - start;
        if (!fits) return;
        out.resize(start + size);  // within the capacity: the buffer stays where it is
        PutRecord(card, texts, out.data() + start);
        appended(out.size());
    });
    return fits;
}

bool WriteCardFile(CCardFileData& doc, SecureBytes& out, UserInterface& ui) {
    if (doc.encryptionMode == 1 && doc.sealed) return SealedCardFile::Write(doc, out, ui);
    out.clear();
    CardFileHeader header;
    header.carried = doc.carriedValue;
    if (doc.encryptionMode == 1) {
        header.bodyKind = 1;
        WriteHeader(out, header, doc);
        return WriteEncryptedBody(doc, out, ui);
    }
    try {
        // One allocation for the whole file: the records are appended without moving it again.
        out.reserve(kHeaderSize + RecordBytes(doc));
    } catch (const std::bad_alloc&) {
        ui.Tell("Memory Allocation failed");
        return false;
    }
    WriteHeader(out, header, doc);
    WriteAllRecords(doc, out);
    return true;
}

CardFileSaveResult SaveCardFile(CCardFileData& doc, const std::string& path, UserInterface& ui) {
    CardFileSaveResult result;
    SecureBytes bytes;
    if (!WriteCardFile(doc, bytes, ui)) {
        result.stopped = true;
        return result;
    }
    result.ok = WriteFileAtomically(path, bytes, &result.errorText);
    return result;
}

}  // namespace tessarel
