#pragma once
// One card: four data fields whose labels depend on the category, a note, the time of the last
// change and a few flags. Texts are Windows-1252 bytes, all seven held in one block that is wiped
// on release; the card itself is kept small because a file may hold millions of them.

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>

#include "CardTextBlock.h"
#include "core/SecureBuffer.h"

namespace tessarel {

using CardText = SecureString;
struct CardRecordView;

class CCard {
public:
    static constexpr std::uint8_t kDeletedFlag = 0x02;
    static constexpr std::uint8_t kEditedFlag = 0x04;

    // A count that every change a card tree could show advances: a card's name or list index, a
    // list's cards or their order, a list made or assigned. A tree that finds it where its last
    // full check left it knows that none of its lists changed since, without reading a card. It
    // is one count for every document and thread, and only grows.
    static std::uint64_t ShownChangeCount() noexcept { return shownChanges.load(std::memory_order_relaxed); }
    static void NoteShownChange() noexcept { shownChanges.fetch_add(1, std::memory_order_relaxed); }

    // A member that notes a shown change whenever its owner is assigned to (and, with
    // `kOnMake`, made): an assignment replaces a name, or a whole list, without any setter.
    template <bool kOnMake>
    struct AssignmentNote {
        AssignmentNote() noexcept { NoteMade(); }
        AssignmentNote(const AssignmentNote&) noexcept { NoteMade(); }
        AssignmentNote& operator=(const AssignmentNote&) noexcept {
            NoteShownChange();
            return *this;
        }
        ~AssignmentNote() = default;

    private:
        static void NoteMade() noexcept {
            if constexpr (kOnMake) NoteShownChange();
        }
    };

    CCard() = default;
    // A card as a file's record gives it: its numbers, its texts and the date text shown for its
    // stamp, all texts in one allocation. Like every card made, it is a shown change only once a
    // list takes it.
    CCard(const CardRecordView& record, std::string_view dateText);

    // The texts are views into the card: valid until the card's texts next change.
    std::string_view GetFieldText1() const { return texts.Get(kField1); }
    std::string_view GetFieldText2() const { return texts.Get(kField2); }
    std::string_view GetFieldText3() const { return texts.Get(kField3); }
    std::string_view GetFieldText4() const { return texts.Get(kField4); }
    std::string_view GetNote() const { return texts.Get(kNote); }
    // Field texts 1 to 4 and the note in one walk of the block (the writer's view of a record).
    std::array<std::string_view, 5> RecordTexts() const {
        const CardTextBlock::Texts all = texts.All();
        return {all[kField1], all[kField2], all[kField3], all[kField4], all[kNote]};
    }
    void PrefetchTexts() const noexcept { texts.Prefetch(); }
    std::string_view GetCategoryName() const;
    std::string_view GetDateText() const { return texts.Get(kDateText); }
    std::int32_t GetListIndex() const { return listIndex; }
    // The two browser flags are 0 or 1; any other value set is kept as 1.
    std::int32_t GetAutomaticAccess() const { return (options & kAutomaticAccessBit) ? 1 : 0; }
    std::int32_t GetNewBrowserWindow() const { return (options & kNewBrowserWindowBit) ? 1 : 0; }
    std::uint8_t GetCategoryCode() const { return categoryCode; }
    std::uint8_t GetRecordFlags() const { return recordFlags; }
    std::uint32_t GetModified() const { return modified; }
    std::uint32_t GetSyncValue() const { return syncValue; }
    std::uint8_t GetStatusFlags() const { return statusFlags; }
    bool IsDeleted() const { return (statusFlags & kDeletedFlag) != 0; }
    bool IsEdited() const { return (statusFlags & kEditedFlag) != 0; }

    // A text may be passed from this same card.
    void SetFieldText1(std::string_view text) {
        texts.Set(kField1, text);
        NoteShownChange();
    }
    void SetFieldText2(std::string_view text) { texts.Set(kField2, text); }
    void SetFieldText3(std::string_view text) { texts.Set(kField3, text); }
    void SetFieldText4(std::string_view text) { texts.Set(kField4, text); }
    void SetNote(std::string_view text) { texts.Set(kNote, text); }
    void SetCategoryName(std::string_view text);
    void SetDateText(std::string_view text) { texts.Set(kDateText, text); }
    // The forms with a character pointer take exactly `length` characters.
    void SetFieldText1(const char* text, std::uint16_t length) { SetFieldText1(std::string_view(text, length)); }
    void SetFieldText2(const char* text, std::uint16_t length) { SetFieldText2(std::string_view(text, length)); }
    void SetFieldText3(const char* text, std::uint16_t length) { SetFieldText3(std::string_view(text, length)); }
    void SetFieldText4(const char* text, std::uint16_t length) { SetFieldText4(std::string_view(text, length)); }
    void SetNote(const char* text, std::uint16_t length) { SetNote(std::string_view(text, length)); }
    void SetCategoryName(const char* text, std::uint16_t length) { SetCategoryName(std::string_view(text, length)); }
    void SetDateText(const char* text, std::uint16_t length) { SetDateText(std::string_view(text, length)); }
    // Every text at once, in one allocation: what the file readers use.
    void SetTexts(std::string_view field1, std::string_view field2, std::string_view field3, std::string_view field4,
                  std::string_view note, std::string_view categoryName, std::string_view dateText);
    void SetListIndex(std::int32_t value) {
        if (value == listIndex) return;
        listIndex = value;
        NoteShownChange();
    }
    void SetAutomaticAccess(std::int32_t value) { SetOption(kAutomaticAccessBit, value != 0); }
    void SetNewBrowserWindow(std::int32_t value) { SetOption(kNewBrowserWindowBit, value != 0); }
    void SetCategoryCode(std::uint8_t value) { categoryCode = value; }
    void SetRecordFlags(std::uint8_t value) { recordFlags = value; }
    void SetModified(std::uint32_t value) { modified = value; }
    void SetSyncValue(std::uint32_t value) { syncValue = value; }
    void SetStatusFlags(std::uint8_t value) { statusFlags = value; }
    void SetDeleted(bool on) { SetFlag(kDeletedFlag, on); }
    void SetEdited(bool on) { SetFlag(kEditedFlag, on); }

    // Sets `modified` and the display text that goes with it.
    void Stamp(std::uint32_t timeStamp, int dateFormat);

    // Bytes the card takes in a card file: the 24-byte record and five zero-terminated texts.
    std::size_t ByteSize() const;

private:
    enum Slot : std::size_t { kField1, kField2, kField3, kField4, kNote, kCategoryName, kDateText };
    static constexpr std::uint8_t kAutomaticAccessBit = 0x01;
    static constexpr std::uint8_t kNewBrowserWindowBit = 0x02;
    // Bits 2 to 6 of `options`: 1 + the index of the category name in the frame's table of names,
    // or 0 when the name is held with the texts (any name outside the table, or none).
    static constexpr unsigned kNameShift = 2;
    static constexpr std::uint8_t kNameMask = 0x7C;

    void SetFlag(std::uint8_t bit, bool on) {
        statusFlags = static_cast<std::uint8_t>(on ? (statusFlags | bit) : (statusFlags & ~bit));
    }
    void SetOption(std::uint8_t bit, bool on) { options = static_cast<std::uint8_t>(on ? (options | bit) : (options & ~bit)); }
    // Notes a name of the frame's table in `options`; returns the text still to keep in the block.
    std::string_view NoteCategoryName(std::string_view name);

    static inline std::atomic<std::uint64_t> shownChanges{0};

    // Takes no room: the card must stay within the smallest heap chunk.
    [[no_unique_address]] AssignmentNote<false> assigned;
    CardTextBlock texts;
    std::uint32_t modified = 0;
    std::uint32_t syncValue = 0;
    std::int32_t listIndex = 0;
    std::uint8_t categoryCode = 0;
    std::uint8_t recordFlags = 0;
    std::uint8_t statusFlags = 0;
    std::uint8_t options = 0;
};

}  // namespace tessarel
