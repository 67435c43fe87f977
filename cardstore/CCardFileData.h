#pragma once
// Everything one open card file holds: the fifteen category lists and the deleted list, and what
// the file formats need to save it again (passwords, mode, digest, header copy, carried value).
// The program's document wraps one of these.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "CCardList.h"
#include "SealParameters.h"
#include "core/SecureBuffer.h"

namespace tessarel {

constexpr std::size_t kHeaderSize = 22;
constexpr std::size_t kDigestSize = 20;

class CCardFileData {
public:
    CCardFileData();

    // The list of a code 0 to 14 (nullptr for any other code).
    CCardList* GetCategoryList(int code);
    const CCardList* GetCategoryList(int code) const;
    CCardList& GetDeletedList() { return deletedList; }
    const CCardList& GetDeletedList() const { return deletedList; }

    // Copies the four labels of the category into the outputs and returns the length of the
    // longest (at least 1). Any other code copies nothing and returns 0.
    int GetCategoryLabels(int code, std::string& label1, std::string& label2, std::string& label3, std::string& label4) const;
    int GetCategoryLabelsByName(std::string_view name, std::string& label1, std::string& label2, std::string& label3,
                                std::string& label4) const;

    // Bytes all cards take in a card file, deleted ones included.
    std::size_t TotalByteSize() const;
    // Visits every card in the order a card file holds them: codes 0 to 14 in list order, then
    // the deleted list (see CCardList::VisitAhead).
    template <class Visit>
    void VisitInSaveOrder(Visit&& visit) const {
        for (const CCardList& list : lists) list.VisitAhead(visit);
        deletedList.VisitAhead(visit);
    }
    bool HasCards() const;

    // Moves the card at `index` of its category list into the deleted list.
    bool DeleteCard(int code, int index);

    // Places a card read from a file: deleted cards go to the deleted list whatever their code,
    // others to their category; codes 15 and up are dropped. Returns false when dropped.
    bool PlaceCard(std::unique_ptr<CCard> card);

    // Drops every card of every list (after a read that could not finish).
    void RemoveAllCards();

    SecureString encryptionPassword;
    SecureString decryptionPassword;
    std::int32_t encryptionMode = 0;  // 0 save plain, 1 save encrypted
    std::array<std::uint8_t, kDigestSize> passwordDigest{};
    std::array<std::uint8_t, kHeaderSize> headerCopy{};
    std::uint32_t carriedValue = 0;
    // The "Date Format" setting the reader formats each card's date text with.
    int dateFormat = 0;
    // With mode 1: save as a sealed file (".qdx") instead of the compatible encrypted one, with
    // these key derivation parameters.
    bool sealed = false;
    SealParameters sealParameters = kDefaultSealParameters;
    // When set, the reader hands the plain records of a current-layout file (and the bytes of
    // padding they may end in) here instead of making cards of them: a caller that only walks
    // the cards once keeps the file's bytes rather than a card object per card. `owner`, when not
    // null, is the reader's buffer the records lie in, which goes away after the read: the callee
    // may take it over (swap) instead of copying the whole body.
    std::function<void(std::span<const std::uint8_t> records, std::size_t slack, SecureBytes* owner)> takeRecords;

private:
    std::array<CCardList, 15> lists;
    CCardList deletedList;
};

}  // namespace tessarel
