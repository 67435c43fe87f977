#include "CCardFileData.h"

#include <algorithm>

namespace tessarel {
namespace {

int CopyLabels(const std::array<std::string, 4>& labels, std::string& a, std::string& b, std::string& c, std::string& d) {
    a = labels[0];
    b = labels[1];
    c = labels[2];
    d = labels[3];
    std::size_t width = 1;
    for (const auto& label : labels) width = std::max(width, label.size());
    return static_cast<int>(width);
}

}  // namespace

CCardFileData::CCardFileData() {
    for (int code = 0; code < kCategoryCount; ++code) lists[static_cast<std::size_t>(code)] = CCardList(kCategories[static_cast<std::size_t>(code)].labels);
}

CCardList* CCardFileData::GetCategoryList(int code) {
    return code >= 0 && code < kCategoryCount ? &lists[static_cast<std::size_t>(code)] : nullptr;
}

const CCardList* CCardFileData::GetCategoryList(int code) const {
    return code >= 0 && code < kCategoryCount ? &lists[static_cast<std::size_t>(code)] : nullptr;
}

int CCardFileData::GetCategoryLabels(int code, std::string& a, std::string& b, std::string& c, std::string& d) const {
    const CCardList* list = GetCategoryList(code);
    return list ? CopyLabels(list->GetLabels(), a, b, c, d) : 0;
}

int CCardFileData::GetCategoryLabelsByName(std::string_view name, std::string& a, std::string& b, std::string& c,
                                           std::string& d) const {
    const auto code = CategoryCodeOfName(name);
    return code ? GetCategoryLabels(*code, a, b, c, d) : 0;
}

std::size_t CCardFileData::TotalByteSize() const {
    std::size_t total = deletedList.ByteSize();
    for (const auto& list : lists) total += list.ByteSize();
    return total;
}

bool CCardFileData::HasCards() const {
    // Asked by the command states after every event: counting, not sizing every card.
    if (deletedList.GetCount() > 0) return true;
    return std::any_of(lists.begin(), lists.end(), [](const CCardList& list) { return list.GetCount() > 0; });
}

bool CCardFileData::DeleteCard(int code, int index) {
    CCardList* list = GetCategoryList(code);
    if (!list) return false;
    auto card = list->TakeAt(index);
    if (!card) return false;
    card->SetDeleted(true);
    deletedList.Add(std::move(card));
    return true;
}

void CCardFileData::RemoveAllCards() {
    for (auto& list : lists) list.Clear();
    deletedList.Clear();
}

bool CCardFileData::PlaceCard(std::unique_ptr<CCard> card) {
    if (card->IsDeleted()) {
        deletedList.Add(std::move(card));
        return true;
    }
    CCardList* list = GetCategoryList(card->GetCategoryCode());
    if (!list) return false;
    list->Add(std::move(card));
    return true;
}

}  // namespace tessarel
