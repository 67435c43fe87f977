#include <cstring>
#include <optional>
#include <string_view>

#include "ByteOrder.h"
#include "CardFileCensus.h"
#include "CardFileFormat.h"
#include "CardTime.h"
#include "core/MemoryBudget.h"

namespace tessarel {
namespace {

// Reads length-prefixed texts from a span, refusing any that would run past its end.
class LegacyCursor {
public:
    explicit LegacyCursor(std::span<const std::uint8_t> bytes, std::size_t start) : data(bytes), at(start) {}

    std::optional<std::string_view> ShortText() { return Text(1); }
    std::optional<std::string_view> LongText() { return Text(2); }
    bool Skip(std::size_t count) {
        if (data.size() - at < count) return false;
        at += count;
        return true;
    }
    std::size_t Position() const { return at; }

private:
    std::optional<std::string_view> Text(std::size_t lengthBytes) {
        if (data.size() - at < lengthBytes) return std::nullopt;
        const std::size_t length = lengthBytes == 1 ? data[at] : ReadLe16(data.data() + at);
        if (data.size() - at - lengthBytes < length) return std::nullopt;
        const auto* start = reinterpret_cast<const char*>(data.data() + at + lengthBytes);
        at += lengthBytes + length;
        return std::string_view(start, length);
    }

    std::span<const std::uint8_t> data;
    std::size_t at;
};

struct LegacyRecord {
    std::string_view category, date, field1, field2, field3, field4, note;
};

std::optional<LegacyRecord> NextLegacyRecord(LegacyCursor& cursor) {
    LegacyRecord record;
    std::string_view* shortTexts[] = {&record.category, &record.date, &record.field1, &record.field2, &record.field3, &record.field4};
    for (auto* text : shortTexts) {
        const auto value = cursor.ShortText();
        if (!value) return std::nullopt;
        *text = *value;
    }
    const auto note = cursor.LongText();
    if (!note || !cursor.Skip(2)) return std::nullopt;  // two flag bytes, not used
    record.note = *note;
    return record;
}

std::size_t TextBytes(const LegacyRecord& record) {
    return record.category.size() + record.date.size() + record.field1.size() + record.field2.size() + record.field3.size() +
           record.field4.size() + record.note.size();
}

// Walks the records exactly as ReadLegacyRecords does, without making a card.
CardFileCensus CountLegacyRecords(std::span<const std::uint8_t> data) {
    CardFileCensus census;
    LegacyCursor cursor(data, 0);
    while (data.size() - cursor.Position() > 8) {
        const auto record = NextLegacyRecord(cursor);
        if (!record) break;
        if (const auto code = LegacyCategoryCode(record->category)) census.Count(*code, TextBytes(*record));
    }
    return census;
}

std::unique_ptr<CCard> CardFromLegacy(const LegacyRecord& record, int code) {
    auto card = std::make_unique<CCard>();
    card->SetTexts(record.field1, record.field2, record.field3, record.field4, record.note,
                   record.category.empty() ? CategoryName(code) : record.category, record.date);
    card->SetModified(LegacyDateToTimeStamp(record.date));
    card->SetCategoryCode(static_cast<std::uint8_t>(code));
    return card;
}

}  // namespace

std::size_t ReadLegacyRecords(CCardFileData& doc, std::span<const std::uint8_t> data) {
    CountLegacyRecords(data).Prepare(doc, AvailableMemory());
    LegacyCursor cursor(data, 0);
    std::size_t read = 0;
    while (data.size() - cursor.Position() > 8) {
        const auto record = NextLegacyRecord(cursor);
        if (!record) break;  // damaged tail: keep the cards before it
        const auto code = LegacyCategoryCode(record->category);
        if (!code) continue;
        doc.PlaceCard(CardFromLegacy(*record, *code));
        ++read;
    }
    return read;
}

bool ReadLegacyFile(CCardFileData& doc, SecureBytes& bytes, CardFileLayout layout, const std::string& path, UserInterface& ui) {
    if (bytes.size() >= 9 && std::memcmp(bytes.data(), "ENCRYPTED", 9) == 0) return ReadLegacyEncrypted(doc, bytes, layout, path, ui);
    const std::size_t checkSize = layout == CardFileLayout::Legacy1001 ? 3 : 20;
    const std::size_t start = kLegacyPrefixSize + checkSize;
    if (bytes.size() > start) ReadLegacyRecords(doc, std::span<const std::uint8_t>(bytes).subspan(start));
    return true;
}

}  // namespace tessarel
