#include <cstring>
#include <new>
#include <string_view>

#include "ByteOrder.h"
#include "CardDateCache.h"
#include "CardFileCensus.h"
#include "CardFileFormat.h"
#include "CardTime.h"
#include "SealedCardFile.h"
#include "core/FileReader.h"
#include "core/MemoryBudget.h"
#include "core/SecureBuffer.h"

namespace tessarel {
namespace {

constexpr std::string_view kNotACardFile = "This is not a Tessarel file.";

bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool Holds(std::span<const std::uint8_t> bytes, std::size_t offset, std::string_view text) {
    return bytes.size() >= offset + text.size() && std::memcmp(bytes.data() + offset, text.data(), text.size()) == 0;
}

// Takes the next zero-terminated text of a block; a block that ends early gives the rest of it
// (or an empty text once nothing is left).
std::string_view NextText(std::span<const std::uint8_t> block, std::size_t& at) {
    const auto* start = reinterpret_cast<const char*>(block.data()) + at;
    const std::size_t left = block.size() - at;
    const void* zero = std::memchr(start, 0, left);
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - start) : left;
    at += zero ? length + 1 : length;
    return {start, length};
}

// Where ReadRecords puts a record: its category list, the deleted list, or nowhere (-1).
int Destination(const std::uint8_t* head) {
    if (head[3] & CCard::kDeletedFlag) return CardFileCensus::kDeletedList;
    return head[0] < kCategoryCount ? head[0] : -1;
}

// The record at `counter`, whose head lies inside `data`: the bytes it ends at, or 0 when its
// text block would run past the end of `data`. The length decides nothing until it is known to
// lie inside the data.
std::size_t RecordEnd(std::span<const std::uint8_t> data, std::size_t counter) {
    const std::uint32_t n = ReadLe32(data.data() + counter + 20);
    return n > data.size() - counter - kRecordHeadSize ? 0 : counter + kRecordHeadSize + n;
}

// Walks the records exactly as ReadRecords does, without making a card.
CardFileCensus CountRecords(std::span<const std::uint8_t> data, std::size_t slack) {
    CardFileCensus census;
    std::size_t counter = 0;
    while (data.size() - counter > 9 + slack && data.size() - counter >= kRecordHeadSize) {
        const std::size_t end = RecordEnd(data, counter);
        if (end == 0) break;
        census.Count(Destination(data.data() + counter), end - counter - kRecordHeadSize);
        counter = end;
    }
    return census;
}

bool ReadCurrentLayout(CCardFileData& doc, SecureBytes& bytes, const std::string& path, UserInterface& ui, CardFileReadResult& result) {
    std::memcpy(doc.headerCopy.data(), bytes.data(), kHeaderSize);
    doc.carriedValue = ReadLe32(bytes.data() + 18);
    result.version = bytes[1];
    switch (bytes[12]) {
        case 0:
            ReadRecords(doc, std::span<const std::uint8_t>(bytes).subspan(kHeaderSize), 0, &bytes);
            return true;
        case 1:
            result.encrypted = true;
            return ReadEncryptedBody(doc, bytes, path, ui);
        default:
            return false;  // an unknown body kind fails without a message of its own
    }
}

}  // namespace

std::string DecryptionPasswordTitle(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return "Decryption Password for file: " + (slash == std::string::npos ? path : path.substr(slash + 1));
}

bool AskDecryptionPassword(CCardFileData& doc, const std::string& path, UserInterface& ui) {
    auto typed = ui.AskPassword(DecryptionPasswordTitle(path));
    if (!typed) return false;
    doc.decryptionPassword.assign(*typed);
    WipeString(*typed);
    return true;
}

namespace {

// The view of the record in [counter, end), once its bounds are checked.
void ViewRecord(CardRecordView& view, std::span<const std::uint8_t> data, std::size_t counter, std::size_t end) {
    const std::uint8_t* head = data.data() + counter;
    view.categoryCode = head[0];
    view.recordFlags = head[2];
    view.statusFlags = head[3];
    view.modified = ReadLe32(head + 4);
    view.syncValue = ReadLe32(head + 8);
    const auto block = data.subspan(counter + kRecordHeadSize, end - counter - kRecordHeadSize);
    std::size_t at = 0;
    for (auto& text : view.texts) text = NextText(block, at);
}

// Makes the cards of the records in `data`, each once `ready` says its bytes may be read
// (`readyEnd` bytes from the start are known ready already). Stops at the first record that does
// not fit: a damaged tail keeps what came before.
std::size_t MakeCards(CCardFileData& doc, std::span<const std::uint8_t> data, std::size_t slack, std::size_t readyEnd,
                      const RecordBytesReady& ready) {
    CardDateCache dates;
    CardRecordView view;
    std::size_t counter = 0;
    std::size_t read = 0;
    while (data.size() - counter > 9 + slack && data.size() - counter >= kRecordHeadSize) {
        if (counter + kRecordHeadSize > readyEnd) readyEnd = ready(counter + kRecordHeadSize);
        const std::size_t end = RecordEnd(data, counter);
        if (end == 0) break;
        if (end > readyEnd) readyEnd = ready(end);
        // A record no list takes makes no card.
        if (Destination(data.data() + counter) >= 0) {
            ViewRecord(view, data, counter, end);
            doc.PlaceCard(std::make_unique<CCard>(view, dates.Text(view.modified, doc.dateFormat)));
        }
        counter = end;
        ++read;
    }
    return read;
}

}  // namespace

bool ReadCardRecordView(CardRecordView& view, std::span<const std::uint8_t> data, std::size_t& counter) {
    if (counter > data.size() || data.size() - counter < kRecordHeadSize) return false;
    const std::size_t end = RecordEnd(data, counter);
    if (end == 0) return false;
    ViewRecord(view, data, counter, end);
    counter = end;
    return true;
}

bool ReadCardRecord(CCard& card, std::span<const std::uint8_t> data, std::size_t& counter, int dateFormat) {
    CardRecordView view;
    if (!ReadCardRecordView(view, data, counter)) return false;
    card.SetCategoryCode(view.categoryCode);
    card.SetRecordFlags(view.recordFlags);
    card.SetStatusFlags(view.statusFlags);
    card.SetModified(view.modified);
    card.SetSyncValue(view.syncValue);
    // All texts in one go: one allocation for the card's texts, not one per text.
    const auto& t = view.texts;
    card.SetTexts(t[0], t[1], t[2], t[3], t[4], {}, FormatCardDate(view.modified, dateFormat));
    return true;
}

std::size_t ReadRecords(CCardFileData& doc, std::span<const std::uint8_t> data, std::size_t slack, SecureBytes* owner,
                        const RecordBytesReady& ready) {
    const RecordBytesReady whole = [&data](std::size_t) { return data.size(); };
    const RecordBytesReady& readyUpTo = ready ? ready : whole;
    if (doc.takeRecords) {
        readyUpTo(data.size());
        doc.takeRecords(data, slack, owner);
        return 0;
    }
    // When even the smallest records throughout could not need more memory than there is, no
    // census can refuse the file: the cards are made as the bytes become ready. Otherwise every
    // record is counted first, and a file whose cards do not fit is refused before any is made.
    const std::uint64_t available = AvailableMemory();
    std::size_t readyEnd = 0;
    if (CardFileCensus::MostBytesNeeded(data.size(), kRecordHeadSize) > available) {
        readyEnd = readyUpTo(data.size());
        CountRecords(data, slack).Prepare(doc, available);
    }
    return MakeCards(doc, data, slack, readyEnd, readyUpTo);
}

namespace {

CardFileReadResult ReadLayout(CCardFileData& doc, SecureBytes& bytes, const std::string& path, UserInterface& ui) {
    CardFileReadResult result;
    if (EndsWith(path, "~~~")) {
        result.layout = CardFileLayout::EncryptedSingleFile;
        result.ok = true;
        return result;
    }
    if (bytes.empty()) {
        ui.Tell("Empty File !");
        result.layout = CardFileLayout::Empty;
        result.ok = true;
        return result;
    }
    if (SealedHeader::StartsSealed(bytes)) {
        result.layout = CardFileLayout::Sealed;
        result.encrypted = true;
        result.ok = SealedCardFile::Read(doc, bytes, path, ui);
        return result;
    }
    if (Holds(bytes, 9, "Version1.001") || Holds(bytes, 9, "Version1.002")) {
        result.layout = Holds(bytes, 9, "Version1.001") ? CardFileLayout::Legacy1001 : CardFileLayout::Legacy1002;
        result.encrypted = Holds(bytes, 0, "ENCRYPTED");
        result.ok = ReadLegacyFile(doc, bytes, result.layout, path, ui);
        return result;
    }
    if (bytes.size() < kHeaderSize || ReadLe32(bytes.data() + 14) != kCardFileSignature) {
        ui.Tell(std::string(kNotACardFile));
        return result;
    }
    result.ok = ReadCurrentLayout(doc, bytes, path, ui, result);
    return result;
}

}  // namespace

CardFileReadResult ReadCardFile(CCardFileData& doc, SecureBytes& bytes, const std::string& path, UserInterface& ui) {
    // A file whose cards the process cannot hold is refused whole: the census refuses it before
    // the first card is made, and an allocation that fails on the way drops what was made.
    try {
        return ReadLayout(doc, bytes, path, ui);
    } catch (const CardFileTooLarge& refusal) {
        doc.RemoveAllCards();
        ui.Tell(CardFileTooLargeMessage(refusal));
    } catch (const std::bad_alloc&) {
        doc.RemoveAllCards();
        ui.Tell(CardFileOutOfMemoryMessage());
    }
    return {};
}

CardFileReadResult LoadCardFile(CCardFileData& doc, const std::string& path, UserInterface& ui) {
    SecureBytes bytes;
    if (!EndsWith(path, "~~~")) {
        FileReadResult read;
        try {
            // Room for the zero fill of an encrypted body too, so that it moves nothing.
            if (const std::int64_t size = FileSize(path); size >= 0 && static_cast<std::uint64_t>(size) <= kMaxCardFileSize)
                bytes.reserve(static_cast<std::size_t>(size) + kHeaderSize + kDigestSize + 8);
            read = ReadWholeFile(path, kMaxCardFileSize, bytes);
        } catch (const std::bad_alloc&) {
            ui.Tell(CardFileOutOfMemoryMessage());
            return {};
        }
        if (read.status == ReadStatus::TooLarge) {
            ui.Tell(CardFileBeyondLimitMessage(kMaxCardFileSize));
            return {};
        }
        if (read.status != ReadStatus::Ok) {
            ui.Tell("Cannot open file " + path + ": " + read.errorText);
            return {};
        }
    }
    return ReadCardFile(doc, bytes, path, ui);
}

}  // namespace tessarel
