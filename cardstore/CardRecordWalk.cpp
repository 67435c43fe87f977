#include "CardRecordWalk.h"

#include <array>
#include <vector>

#include "ByteOrder.h"
#include "CardFileFormat.h"
#include "CategoryTable.h"

namespace tessarel {
namespace {

constexpr std::size_t kDeletedGroup = kCategoryCount;

// Where each card's record starts, by the group the reader would place it in. The bounds are the
// reader's: a record whose head or text block runs past the data ends the walk there.
std::array<std::vector<std::size_t>, kCategoryCount + 1> IndexRecords(std::span<const std::uint8_t> data, std::size_t slack) {
    std::array<std::vector<std::size_t>, kCategoryCount + 1> groups;
    std::size_t counter = 0;
    while (data.size() - counter > 9 + slack) {
        if (data.size() - counter < kRecordHeadSize) break;
        const std::uint8_t* head = data.data() + counter;
        const std::uint32_t n = ReadLe32(head + 20);
        if (n > data.size() - counter - kRecordHeadSize) break;
        const bool deleted = (head[3] & CCard::kDeletedFlag) != 0;
        if (deleted) {
            groups[kDeletedGroup].push_back(counter);
        } else if (head[0] < kCategoryCount) {
            groups[head[0]].push_back(counter);
        }
        counter += kRecordHeadSize + n;
    }
    return groups;
}

}  // namespace

void WalkRecordViewsInSaveOrder(std::span<const std::uint8_t> records, std::size_t slack,
                                const std::function<void(const CardRecordView&)>& visit) {
    const auto groups = IndexRecords(records, slack);
    CardRecordView view;
    for (const auto& group : groups) {
        for (std::size_t start : group) {
            std::size_t counter = start;
            if (ReadCardRecordView(view, records, counter)) visit(view);
        }
    }
}

}  // namespace tessarel
