#include "CCard.h"

#include "CardTime.h"

namespace tessarel {

void CCard::Stamp(std::uint32_t timeStamp, int dateFormat) {
    modified = timeStamp;
    dateText.assign(FormatCardDate(timeStamp, dateFormat));
}

std::size_t CCard::ByteSize() const {
    return 24 + fieldText1.size() + fieldText2.size() + fieldText3.size() + fieldText4.size() + note.size() + 5;
}

}  // namespace tessarel
