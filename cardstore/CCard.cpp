#include "CCard.h"

#include "CardRecordView.h"
#include "CardTime.h"
#include "CategoryTable.h"

namespace tessarel {

// With the malloc header this is the allocator's smallest chunk: a card read from a file costs
// that, the list's pointer to it and the block of its texts.
static_assert(sizeof(CCard) <= 24, "a card must stay within the smallest heap chunk");

CCard::CCard(const CardRecordView& record, std::string_view dateText)
    : texts({record.texts[0], record.texts[1], record.texts[2], record.texts[3], record.texts[4], {}, dateText}),
      modified(record.modified),
      syncValue(record.syncValue),
      categoryCode(record.categoryCode),
      recordFlags(record.recordFlags),
      statusFlags(record.statusFlags) {}

std::string_view CCard::NoteCategoryName(std::string_view name) {
    options &= static_cast<std::uint8_t>(~kNameMask);
    for (std::size_t i = 0; i < kFrameCategoryNames.size(); ++i) {
        if (kFrameCategoryNames[i] == name) {
            options |= static_cast<std::uint8_t>((i + 1) << kNameShift);
            return {};
        }
    }
    return name;
}

std::string_view CCard::GetCategoryName() const {
    const unsigned index = (options & kNameMask) >> kNameShift;
    return index == 0 ? texts.Get(kCategoryName) : kFrameCategoryNames[index - 1];
}

void CCard::SetCategoryName(std::string_view text) { texts.Set(kCategoryName, NoteCategoryName(text)); }

void CCard::SetTexts(std::string_view field1, std::string_view field2, std::string_view field3, std::string_view field4,
                     std::string_view note, std::string_view categoryName, std::string_view dateText) {
    const std::string_view kept = NoteCategoryName(categoryName);
    texts = CardTextBlock({field1, field2, field3, field4, note, kept, dateText});
    NoteShownChange();
}

void CCard::Stamp(std::uint32_t timeStamp, int dateFormat) {
    modified = timeStamp;
    texts.Set(kDateText, FormatCardDate(timeStamp, dateFormat));
}

std::size_t CCard::ByteSize() const {
    const CardTextBlock::Texts all = texts.All();
    std::size_t size = 24;
    for (const Slot slot : {kField1, kField2, kField3, kField4, kNote}) size += all[slot].size() + 1;
    return size;
}

}  // namespace tessarel
