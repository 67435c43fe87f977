#pragma once
// The date text of card stamps, remembering the last day and format it formatted. A reader makes
// one date text per card, and the cards of a file come in runs changed on the same day: those
// share one formatting, and no text is allocated per card.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessarel {

class CardDateCache {
public:
    // FormatCardDate(timeStamp, dateFormat), as a view valid until the next call.
    std::string_view Text(std::uint32_t timeStamp, int dateFormat);

private:
    bool filled = false;
    std::int64_t day = 0;
    int format = 0;
    std::string text;
};

}  // namespace tessarel
