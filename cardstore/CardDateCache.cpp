#include "CardDateCache.h"

#include "CardTime.h"

namespace tessarel {

std::string_view CardDateCache::Text(std::uint32_t timeStamp, int dateFormat) {
    const std::int64_t stampDay = CardStampDay(timeStamp);
    if (!filled || stampDay != day || dateFormat != format) {
        // The text keeps its storage from one day to the next: clear, not a new string.
        text.clear();
        AppendCardDay(text, stampDay, dateFormat);
        day = stampDay;
        format = dateFormat;
        filled = true;
    }
    return text;
}

}  // namespace tessarel
