#pragma once
// One card: four data fields whose labels depend on the category, a note, the time of the last
// change and a few flags. Texts are Windows-1252 bytes held in storage that is wiped on release.

#include <cstdint>
#include <string_view>

#include "core/SecureBuffer.h"

namespace tessarel {

using CardText = SecureString;

class CCard {
public:
    static constexpr std::uint8_t kDeletedFlag = 0x02;
    static constexpr std::uint8_t kEditedFlag = 0x04;

    const CardText& GetFieldText1() const { return fieldText1; }
    const CardText& GetFieldText2() const { return fieldText2; }
    const CardText& GetFieldText3() const { return fieldText3; }
    const CardText& GetFieldText4() const { return fieldText4; }
    const CardText& GetNote() const { return note; }
    const CardText& GetCategoryName() const { return categoryName; }
    const CardText& GetDateText() const { return dateText; }
    std::int32_t GetListIndex() const { return listIndex; }
    std::int32_t GetAutomaticAccess() const { return automaticAccess; }
    std::int32_t GetNewBrowserWindow() const { return newBrowserWindow; }
    std::uint8_t GetCategoryCode() const { return categoryCode; }
    std::uint8_t GetRecordFlags() const { return recordFlags; }
    std::uint32_t GetModified() const { return modified; }
    std::uint32_t GetSyncValue() const { return syncValue; }
    std::uint8_t GetStatusFlags() const { return statusFlags; }
    bool IsDeleted() const { return (statusFlags & kDeletedFlag) != 0; }
    bool IsEdited() const { return (statusFlags & kEditedFlag) != 0; }

    void SetFieldText1(std::string_view text) { fieldText1.assign(text); }
    void SetFieldText2(std::string_view text) { fieldText2.assign(text); }
    void SetFieldText3(std::string_view text) { fieldText3.assign(text); }
    void SetFieldText4(std::string_view text) { fieldText4.assign(text); }
    void SetNote(std::string_view text) { note.assign(text); }
    void SetCategoryName(std::string_view text) { categoryName.assign(text); }
    void SetDateText(std::string_view text) { dateText.assign(text); }
    // The forms with a character pointer take exactly `length` characters.
    void SetFieldText1(const char* text, std::uint16_t length) { fieldText1.assign(text, length); }
    void SetFieldText2(const char* text, std::uint16_t length) { fieldText2.assign(text, length); }
    void SetFieldText3(const char* text, std::uint16_t length) { fieldText3.assign(text, length); }
    void SetFieldText4(const char* text, std::uint16_t length) { fieldText4.assign(text, length); }
    void SetNote(const char* text, std::uint16_t length) { note.assign(text, length); }
    void SetCategoryName(const char* text, std::uint16_t length) { categoryName.assign(text, length); }
    void SetDateText(const char* text, std::uint16_t length) { dateText.assign(text, length); }
    void SetListIndex(std::int32_t value) { listIndex = value; }
    void SetAutomaticAccess(std::int32_t value) { automaticAccess = value; }
    void SetNewBrowserWindow(std::int32_t value) { newBrowserWindow = value; }
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
    void SetFlag(std::uint8_t bit, bool on) {
        statusFlags = static_cast<std::uint8_t>(on ? (statusFlags | bit) : (statusFlags & ~bit));
    }

    CardText fieldText1;
    CardText fieldText2;
    CardText fieldText3;
    CardText fieldText4;
    CardText note;
    CardText categoryName;
    CardText dateText;
    std::int32_t listIndex = 0;
    std::int32_t automaticAccess = 0;
    std::int32_t newBrowserWindow = 0;
    std::uint8_t categoryCode = 0;
    std::uint8_t recordFlags = 0;
    std::uint32_t modified = 0;
    std::uint32_t syncValue = 0;
    std::uint8_t statusFlags = 0;
};

}  // namespace tessarel
