#include "CTessarelView.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>
#include <string_view>
#include <vector>

#include "CardSortKeys.h"
#include "CardTreeFilter.h"
#include "cardstore/CCard.h"
#include "cardstore/CategoryTable.h"
#include "framework/ChildFrame.h"
#include "framework/DialogHost.h"
#include "CardViewHost.h"
#include "cardstore/document/CTessarelDoc.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

namespace {

constexpr int kCollapsedImage = 0;
constexpr int kExpandedImage = 1;
constexpr int kCardImage = 2;
constexpr int kIndexRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

// A card item keeps its list index outside the model, so that shifting the indexes after a removal
// costs an integer per item rather than a change notification per item. Its name is a plain member
// rather than a list of variants, and its picture is the card picture for good (the tree never
// changes it), shared rather than stored in every item.
class CardItem : public QTreeWidgetItem {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;
    CardItem(QString text, int index) : QTreeWidgetItem(kType), listIndex(index), name(std::move(text)) {
        // Said once here, so that laying out the rows of an open category (after every row
        // inserted or removed) asks a card item for nothing more than its flags.
        setFlags(flags() | Qt::ItemNeverHasChildren);
    }
    QVariant data(int column, int role) const override {
        if (column != 0) return QTreeWidgetItem::data(column, role);
        switch (role) {
            case kIndexRole: return listIndex;
            case kImageRole: return kCardImage;
            case Qt::DecorationRole: return Picture();
            case Qt::DisplayRole:
            case Qt::EditRole: return name;
            default: return QTreeWidgetItem::data(column, role);
        }
    }
    void setData(int column, int role, const QVariant& value) override {
        // A name or an index set from outside the tree's own update is a change the next update
        // must check, as a changed card would be.
        if (column == 0 && (role == kIndexRole || role == Qt::DisplayRole || role == Qt::EditRole)) CCard::NoteShownChange();
        if (column == 0 && role == kIndexRole) {
            listIndex = value.toInt();
            return;
        }
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
            name = value.toString();
            emitDataChanged();
            return;
        }
        QTreeWidgetItem::setData(column, role, value);
    }
    int listIndex;
    QString name;

private:
    // The card picture of the tree holding the item. Asked of the tree rather than held: every
    // card has an item, so it stays small.
    QVariant Picture() const {
        const auto* tree = qobject_cast<const CTessarelView*>(treeWidget());
        return tree ? QVariant(tree->CardPicture()) : QVariant();
    }
};

void Prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Asks for the lines holding a card item's own members (its list index and its name's pointer
// and size): on half the items they straddle two lines.
void PrefetchMembers(const CardItem* item) {
    Prefetch(&item->listIndex);
    Prefetch(reinterpret_cast<const char*>(&item->name) + sizeof(QString) - 1);
}

CardItem* AsCardItem(QTreeWidgetItem* item) { return item && item->type() == CardItem::kType ? static_cast<CardItem*>(item) : nullptr; }

// The sort key of the tree: names compare without regard to case.
QString SortKey(const QString& text) { return text.toCaseFolded(); }

}  // namespace

CTessarelView::CTessarelView(CardViewHost* viewHost, QWidget* parent) : QTreeWidget(parent), host(viewHost) {
    setObjectName(QStringLiteral("CTessarelView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setUniformRowHeights(true);
    images = {ResourceIcon(res::IconCategoryCollapsed), ResourceIcon(res::IconCategoryExpanded), ResourceIcon(res::IconCard)};
    connect(this, &QTreeWidget::currentItemChanged, this, &CTessarelView::OnSelectionChanged);
    connect(this, &QTreeWidget::itemExpanded, this, &CTessarelView::OnExpandingChanged);
    connect(this, &QTreeWidget::itemCollapsed, this, &CTessarelView::OnExpandingChanged);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &CTessarelView::OnDoubleClick);
    filter = new CardTreeFilter(*this);
    RegisterPrintCommands();
    if (host) host->Attach(&host);
    if (host) {
        host->WhenActiveChildChanges(this, [this](ChildFrame* child) {
            if (child && child == GetParentFrame()) OnActivateView();
        });
    }
}

CTessarelView::~CTessarelView() {
    // The counts go back to zero when no card window is left to show its own.
    if (host && !host->HasActiveCardDocument()) {
        host->ShowCardCounts(0, 0, 0);
        // Nor is a card selected any more: Delete, Edit and Cut go off with the last window.
        host->SetCardSelectedFlag(0);
    }
    if (host) host->Detach(&host);
}

CTessarelDoc* CTessarelView::Doc() const { return dynamic_cast<CTessarelDoc*>(GetDocument()); }

int CTessarelView::ImageOf(const QTreeWidgetItem* item) { return item ? item->data(0, kImageRole).toInt() : -1; }

int CTessarelView::CardIndexOf(const QTreeWidgetItem* item) { return item ? item->data(0, kIndexRole).toInt() : -1; }

void CTessarelView::SetImage(QTreeWidgetItem* item, int image) {
    item->setData(0, kImageRole, image);
    item->setIcon(0, images[static_cast<std::size_t>(image)]);
}

void CTessarelView::OnInitialUpdate() {
    InsertRoots();
    setCurrentItem(categoryItems[0]);
    ShowCounts(CountCardsInItem(categoryItems[0]), 0);
    OnUpdate(nullptr, 0, nullptr);
}

void CTessarelView::InsertRoots() {
    // A window made again for the same document (a file type switch) starts from scratch.
    if (categoryItems[0]) return;
    for (int code = 0; code < kCategoryCount; ++code) {
        auto* item = new QTreeWidgetItem(this, QStringList(QString::fromLatin1(CategoryName(code).data(), static_cast<qsizetype>(CategoryName(code).size()))));
        item->setData(0, kIndexRole, 0);
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        SetImage(item, kCollapsedImage);
        categoryItems[static_cast<std::size_t>(code)] = item;
    }
}

void CTessarelView::OnUpdate(View*, int, const UpdateHint* hintObject) {
    if (!categoryItems[0]) return;
    QTreeWidgetItem* before = currentItem();
    QTreeWidgetItem* category = before && before->parent() ? before->parent() : nullptr;
    if (!UpdateInPlace(hintObject)) RebuildCards();
    // The selected card's item is gone with the rebuild; its category takes the selection, as
    // the tree control does when a selected item is deleted, and the views and counts follow.
    // A change made in place ends the same way, so both paths leave the same tree behind.
    if (category) {
        {
            const QSignalBlocker blocker(this);
            setCurrentItem(category);
        }
        ShowCardOfItem(nullptr, category);
    }
    filter->TreeChanged();
}

void CTessarelView::RebuildCards() {
    if (!Doc()) return;
    // Most updates change nothing the tree shows: then not even a card is read.
    if (NothingShownChanged()) return;
    rebuilding = true;
    {
        const QSignalBlocker blocker(this);
        setUpdatesEnabled(false);
        for (int code = 0; code < kCategoryCount; ++code) RebuildCategory(code);
        renamed.clear();
        setUpdatesEnabled(true);
    }
    rebuilding = false;
    NoteFullCheck();
}

bool CTessarelView::NothingShownChanged() const {
    if (!fullyChecked || !renamed.empty() || CCard::ShownChangeCount() != checkedAtCount) return false;
    for (int code = 0; code < kCategoryCount; ++code) {
        const auto at = static_cast<std::size_t>(code);
        const CCardList* list = Doc()->GetCategoryList(code);
        if (list != checkedLists[at]) return false;
        const auto count = static_cast<std::size_t>(list->GetCount());
        if (static_cast<std::size_t>(categoryItems[at]->childCount()) != count || itemOfIndex[at].size() != count) return false;
    }
    return true;
}

void CTessarelView::NoteFullCheck() {
    // Read after the check: setting the cards' list indexes on the way advances the count.
    checkedAtCount = CCard::ShownChangeCount();
    for (int code = 0; code < kCategoryCount; ++code) checkedLists[static_cast<std::size_t>(code)] = Doc()->GetCategoryList(code);
    fullyChecked = true;
}

void CTessarelView::RebuildCategory(int code) {
    const bool renamedHere = std::any_of(renamed.begin(), renamed.end(), [code](const std::pair<int, int>& item) { return item.first == code; });
    // An update that changed nothing here keeps the items: most updates change one category or none.
    if (!renamedHere && KeepCategoryItems(code)) return;
    std::erase_if(renamed, [code](const std::pair<int, int>& item) { return item.first == code; });
    const QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
    if (root->childCount() > 0 && itemOfIndex[static_cast<std::size_t>(code)].size() == static_cast<std::size_t>(root->childCount()))
        ReuseCategoryItems(code);
    else
        MakeCategoryItems(code);
}

void CTessarelView::MakeCategoryItems(int code) {
    QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
    qDeleteAll(root->takeChildren());
    CCardList* list = Doc()->GetCategoryList(code);
    CardSortKeys& keys = scratch.keys;
    keys.Clear();
    keys.Reserve(static_cast<std::size_t>(list->GetCount()));
    auto& byIndex = itemOfIndex[static_cast<std::size_t>(code)];
    byIndex.clear();
    byIndex.reserve(static_cast<std::size_t>(list->GetCount()));
    // Each card is read once, in list order (cards ahead asked for early), its name made then;
    // the items are made in tree order, next to each other: the tree view lays out an open
    // category by walking its items in row order, every time a row comes or goes.
    std::vector<QString> texts;
    texts.reserve(static_cast<std::size_t>(list->GetCount()));
    int index = 0;
    list->VisitAhead([&](CCard& card) {
        card.SetListIndex(index);
        keys.Add(card.GetFieldText1(), index++);
        texts.push_back(CardSortKeys::Text(card.GetFieldText1()));
    });
    // Sorted by name as the tree control sorts (without regard to case); equal names keep
    // their list order. The item data keeps the list index.
    std::vector<int>& order = scratch.order;
    keys.SortedIndexes({}, order);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(order.size()));
    auto& rows = rowOfIndex[static_cast<std::size_t>(code)];
    rows.resize(order.size());
    byIndex.resize(order.size());
    for (const int at : order) {
        auto* item = new CardItem(std::move(texts[static_cast<std::size_t>(at)]), at);
        rows[static_cast<std::size_t>(at)] = static_cast<int>(children.size());
        byIndex[static_cast<std::size_t>(at)] = item;
        children.append(item);
    }
    root->addChildren(children);
}

void CTessarelView::ReuseCategoryItems(int code) {
    QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
    CCardList* list = Doc()->GetCategoryList(code);
    auto& byIndex = itemOfIndex[static_cast<std::size_t>(code)];
    const auto count = static_cast<std::size_t>(list->GetCount());
    const std::size_t had = byIndex.size();
    // One pass in list order over the cards and the items that showed those indexes: the names
    // to sort (the rows the last rebuild noted are where the sort starts), and whether the item
    // of each index still shows its card.
    CardSortKeys& keys = scratch.keys;
    keys.Clear();
    keys.Reserve(count);
    std::vector<std::string_view>& names = scratch.names;
    names.clear();
    std::vector<std::uint8_t>& kept = scratch.kept;
    kept.assign(count, 0);
    // As far ahead as the full check asks (KeepCategoryItems).
    constexpr std::size_t kCardsAhead = 32, kTextsAhead = 16, kItemsAhead = 16, kNamesAhead = 8;
    const auto cards = list->begin();
    for (std::size_t at = 0; at < count; ++at) {
        if (at + kCardsAhead < count) Prefetch(cards[static_cast<std::ptrdiff_t>(at + kCardsAhead)].get());
        if (at + kTextsAhead < count) cards[static_cast<std::ptrdiff_t>(at + kTextsAhead)]->PrefetchTexts();
        if (at + kItemsAhead < had) PrefetchMembers(static_cast<const CardItem*>(byIndex[at + kItemsAhead]));
        if (at + kNamesAhead < had) Prefetch(static_cast<const CardItem*>(byIndex[at + kNamesAhead])->name.constData());
        CCard& card = *cards[static_cast<std::ptrdiff_t>(at)];
        const int index = static_cast<int>(at);
        const std::string_view name = card.GetFieldText1();
        if (card.GetListIndex() != index) card.SetListIndex(index);
        keys.Add(name, index);
        names.push_back(name);
        if (at < had) {
            const auto* item = static_cast<const CardItem*>(byIndex[at]);
            kept[at] = item->listIndex == index && CardSortKeys::Shows(item->name, name) ? 1 : 0;
        }
    }
    std::vector<int>& order = scratch.order;
    auto& rows = rowOfIndex[static_cast<std::size_t>(code)];
    keys.SortedIndexes(rows, order);
    rows.resize(count, -1);
    FitItemCount(code, count);
    // Each row is given the card it now shows; a row whose item already shows that card under
    // that index is not touched. The rows changed are told to the model's views at the end.
    byIndex.resize(count, nullptr);
    std::vector<int>& changed = scratch.changed;
    changed.clear();
    for (std::size_t row = 0; row < count; ++row) {
        const auto at = static_cast<std::size_t>(order[row]);
        auto* item = static_cast<CardItem*>(root->child(static_cast<int>(row)));
        if (at < had && item == byIndex[at] && kept[at]) continue;
        item->listIndex = static_cast<int>(at);
        rows[at] = static_cast<int>(row);
        byIndex[at] = item;
        if (!CardSortKeys::Shows(item->name, names[at])) item->name = CardSortKeys::Text(names[at]);
        changed.push_back(static_cast<int>(row));
    }
    TellRowsChanged(root, changed);
}

void CTessarelView::TellRowsChanged(QTreeWidgetItem* root, const std::vector<int>& rows) {
    if (rows.empty()) return;
    const QModelIndex parent = indexFromItem(root);
    // The tree view works out what to repaint row by row over a changed range, however few of
    // its rows changed: a few rows are told one by one, many at once.
    constexpr std::size_t kOneByOne = 64;
    if (rows.size() > kOneByOne) {
        emit model()->dataChanged(model()->index(rows.front(), 0, parent), model()->index(rows.back(), 0, parent));
        return;
    }
    for (const int row : rows) {
        const QModelIndex index = model()->index(row, 0, parent);
        emit model()->dataChanged(index, index);
    }
}

void CTessarelView::FitItemCount(int code, std::size_t count) {
    QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
    const auto had = static_cast<std::size_t>(root->childCount());
    if (count > had) {
        // New rows go last, blank: the pass that fills the rows names them.
        QList<QTreeWidgetItem*> more;
        more.reserve(static_cast<qsizetype>(count - had));
        for (std::size_t row = had; row < count; ++row) more.append(new CardItem(QString(), -1));
        root->addChildren(more);
    } else if (had - count <= 64) {
        // A few rows too many go one by one from the end, which moves no other row.
        for (std::size_t row = had; row > count; --row) DeleteCardItem(code, root->takeChild(static_cast<int>(row - 1)));
    } else {
        QList<QTreeWidgetItem*> rows = root->takeChildren();
        for (qsizetype row = static_cast<qsizetype>(count); row < rows.size(); ++row) DeleteCardItem(code, rows[row]);
        rows.resize(static_cast<qsizetype>(count));
        root->addChildren(rows);
    }
}

void CTessarelView::DeleteCardItem(int code, QTreeWidgetItem* item) {
    auto& byIndex = itemOfIndex[static_cast<std::size_t>(code)];
    const int index = CardIndexOf(item);
    if (index >= 0 && static_cast<std::size_t>(index) < byIndex.size() && byIndex[static_cast<std::size_t>(index)] == item)
        byIndex[static_cast<std::size_t>(index)] = nullptr;
    delete item;
}

const QIcon& CTessarelView::CardPicture() const { return images[kCardImage]; }

bool CTessarelView::KeepCategoryItems(int code) {
    const QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
    CCardList* list = Doc()->GetCategoryList(code);
    const auto& byIndex = itemOfIndex[static_cast<std::size_t>(code)];
    const auto count = static_cast<std::size_t>(list->GetCount());
    if (static_cast<std::size_t>(root->childCount()) != count || byIndex.size() != count) return false;
    // Each entry of the list still has its item, showing its card's name under its index (which
    // card object it is does not matter: the tree shows names); the items were in order when last
    // placed and only a rename (kept in `renamed`) moves a name.
    // Cards and items lie all over the heap: cards are asked for well ahead of their turn, their
    // texts once the card has come; of an item only the part holding this class's members, then
    // its name (names are made in list order, so those lie in the order of this walk). Every
    // child is a card item: only this view makes them. The distances measured best at a million
    // cards (half and twice as far were slower).
    constexpr std::size_t kCardsAhead = 32, kTextsAhead = 16, kItemsAhead = 16, kNamesAhead = 8;
    const auto cards = list->begin();
    for (std::size_t at = 0; at < count; ++at) {
        if (at + kCardsAhead < count) Prefetch(cards[static_cast<std::ptrdiff_t>(at + kCardsAhead)].get());
        if (at + kTextsAhead < count) cards[static_cast<std::ptrdiff_t>(at + kTextsAhead)]->PrefetchTexts();
        if (at + kItemsAhead < count) PrefetchMembers(static_cast<const CardItem*>(byIndex[at + kItemsAhead]));
        if (at + kNamesAhead < count) Prefetch(static_cast<const CardItem*>(byIndex[at + kNamesAhead])->name.constData());
        CCard* card = cards[static_cast<std::ptrdiff_t>(at)].get();
        const auto* item = static_cast<const CardItem*>(byIndex[at]);
        if (item->listIndex != static_cast<int>(at) || !CardSortKeys::Shows(item->name, card->GetFieldText1()))
            return false;
        if (card->GetListIndex() != static_cast<int>(at)) card->SetListIndex(static_cast<int>(at));
    }
    return true;
}

bool CTessarelView::UpdateInPlace(const UpdateHint* hintObject) {
    const auto* listChange = dynamic_cast<const CardListChangeHint*>(hintObject);
    if (!listChange || !Doc()) return false;
    const CardListChangeHint& change = *listChange;
    if (change.code < 0 || change.code >= kCategoryCount) return false;
    // Only one category is brought up to date here: the next full update checks them all again.
    fullyChecked = false;
    bool done = false;
    rebuilding = true;
    {
        const QSignalBlocker blocker(this);
        done = SortRenamedItems() &&
               (change.kind == CardListChangeHint::Kind::Added ? InsertCardItem(change.code, change.index) : RemoveCardItem(change.code, change.index));
    }
    rebuilding = false;
    return done;
}

bool CTessarelView::SortRenamedItems() {
    // Every other item is in its place, ordered by (folded name, list index) as the stable sort of
    // a rebuild orders them: each renamed item is taken out, then put back where it belongs.
    std::sort(renamed.begin(), renamed.end());
    renamed.erase(std::unique(renamed.begin(), renamed.end()), renamed.end());
    std::vector<std::pair<int, CardItem*>> taken;
    for (const auto& [code, index] : renamed) {
        QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
        CardItem* item = AsCardItem(FindCardItem(root, index));
        if (!item) return false;
        root->removeChild(item);
        taken.emplace_back(code, item);
    }
    renamed.clear();
    for (const auto& [code, item] : taken) {
        QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
        const QString key = SortKey(item->text(0));
        int low = 0, high = root->childCount();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            const QTreeWidgetItem* other = root->child(middle);
            const QString otherKey = SortKey(other->text(0));
            if (key < otherKey || (key == otherKey && item->listIndex < CardIndexOf(other)))
                high = middle;
            else
                low = middle + 1;
        }
        root->insertChild(low, item);
    }
    return true;
}

bool CTessarelView::InsertCardItem(int code, int index) {
    QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
    CCardList* list = Doc()->GetCategoryList(code);
    // Only the list's new last entry is inserted here; anything else is left to a rebuild.
    if (index < 0 || index != list->GetCount() - 1 || root->childCount() != index ||
        itemOfIndex[static_cast<std::size_t>(code)].size() != static_cast<std::size_t>(index))
        return false;
    CCard* card = list->GetAt(index);
    if (!card) return false;
    card->SetListIndex(index);
    const QString text = CardSortKeys::Text(card->GetFieldText1());
    const QString key = SortKey(text);
    // After every item of an equal or smaller name: the new card has the largest list index.
    int low = 0, high = root->childCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (key < SortKey(root->child(middle)->text(0)))
            high = middle;
        else
            low = middle + 1;
    }
    auto* item = new CardItem(text, index);
    root->insertChild(low, item);
    itemOfIndex[static_cast<std::size_t>(code)].push_back(item);
    rowOfIndex[static_cast<std::size_t>(code)].push_back(low);
    return true;
}

bool CTessarelView::RemoveCardItem(int code, int index) {
    QTreeWidgetItem* root = categoryItems[static_cast<std::size_t>(code)];
    CCardList* list = Doc()->GetCategoryList(code);
    auto& byIndex = itemOfIndex[static_cast<std::size_t>(code)];
    if (index < 0 || root->childCount() != list->GetCount() + 1 || byIndex.size() != static_cast<std::size_t>(root->childCount()) ||
        static_cast<std::size_t>(index) >= byIndex.size())
        return false;
    QTreeWidgetItem* removed = byIndex[static_cast<std::size_t>(index)];
    byIndex.erase(byIndex.begin() + index);
    auto& rows = rowOfIndex[static_cast<std::size_t>(code)];
    if (static_cast<std::size_t>(index) < rows.size()) rows.erase(rows.begin() + index);
    delete removed;
    // Only the items of later list entries move up; every child is a card item (only this view
    // makes them).
    constexpr std::size_t kAhead = 16;
    for (std::size_t at = static_cast<std::size_t>(index); at < byIndex.size(); ++at) {
        if (at + kAhead < byIndex.size()) {
            Prefetch(byIndex[at + kAhead]);
            Prefetch(list->GetAt(static_cast<int>(at + kAhead)));
        }
        static_cast<CardItem*>(byIndex[at])->listIndex = static_cast<int>(at);
        list->GetAt(static_cast<int>(at))->SetListIndex(static_cast<int>(at));
    }
    return true;
}

void CTessarelView::ShowCounts(int inCategory, int cardNumber) {
    if (host) host->ShowCardCounts(inCategory, cardNumber, CountAllCards());
}

void CTessarelView::OnSelectionChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (!previous || !current || rebuilding) return;
    if (current->parent())
        ShowCardOfItem(current, current->parent());
    else
        ShowCardOfItem(nullptr, current);
}

void CTessarelView::ShowCardOfItem(QTreeWidgetItem* cardItem, QTreeWidgetItem* category) {
    CTessarelDoc* doc = Doc();
    if (!doc || !category) return;
    if (!cardItem) {
        ShowCounts(CountCardsInItem(category), 0);
        doc->UpdateAllViews(this, 0, nullptr);
        if (host) host->SetCardSelectedFlag(0);
        cardSelected = 0;
        return;
    }
    const int index = CardIndexOf(cardItem);
    ShowCounts(CountCardsInItem(category), index + 1);
    CardShownHint hint;
    doc->Data().GetCategoryLabelsByName(category->text(0).toStdString(), hint.labels[0], hint.labels[1], hint.labels[2],
                                        hint.labels[3]);
    CCardList* list = doc->GetCategoryList(CodeOf(category));
    hint.card = list ? list->GetAt(index) : nullptr;
    doc->UpdateAllViews(this, 0, &hint);
    if (host) host->SetSelectedCardIndex(index);
    currentCardIndex = index;
    cardSelected = 1;
    if (host) host->SetCardSelectedFlag(1);
}

void CTessarelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CTessarelView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void CTessarelView::OnExpandingChanged(QTreeWidgetItem* item) {
    if (!item || item->parent()) return;  // the card picture is never touched
    SetImage(item, item->isExpanded() ? kExpandedImage : kCollapsedImage);
}

void CTessarelView::OnDoubleClick(QTreeWidgetItem* item) {
    QTreeWidgetItem* selected = currentItem();
    if (!item || item != selected || !selected->parent()) return;
    currentCardIndex = CardIndexOf(selected);
    if (host) host->EditSelectedCard();
}

void CTessarelView::OnActivateView() {
    CTessarelDoc* doc = Doc();
    if (!doc || !host) return;
    if (!doc->GetEncryptionPassword().empty() && doc->GetEncryptionMode() == 1)
        host->ShowFileProtection(doc->Data().sealed ? 2 : 1);
    else
        host->ShowFileProtection(0);
    ShowCounts(CountCardsInItem(categoryItems[0]), 0);
    // The frame's card state is that of the window now in front: a card selected in a window
    // that has closed or gone behind must not leave Delete, Edit and Cut enabled here.
    host->SetCardSelectedFlag(cardSelected);
    if (cardSelected) host->SetSelectedCardIndex(currentCardIndex);
}

QTreeWidgetItem* CTessarelView::FindCardItem(QTreeWidgetItem* category, int cardIndex) const {
    const int code = CodeOf(category);
    if (code < 0 || cardIndex < 0) return nullptr;
    const auto& byIndex = itemOfIndex[static_cast<std::size_t>(code)];
    return static_cast<std::size_t>(cardIndex) < byIndex.size() ? byIndex[static_cast<std::size_t>(cardIndex)] : nullptr;
}

void CTessarelView::SelectCardItem(QTreeWidgetItem* category, int cardIndex) {
    if (!category) return;
    if (category->childCount() == 0) {
        setCurrentItem(category);
        return;
    }
    if (QTreeWidgetItem* card = FindCardItem(category, cardIndex)) {
        setCurrentItem(card);
        return;
    }
    clearSelection();
}

void CTessarelView::ExpandAndSelectCard(QTreeWidgetItem* category, int cardIndex) {
    if (!category) return;
    category->setExpanded(true);
    if (QTreeWidgetItem* card = FindCardItem(category, cardIndex)) setCurrentItem(card);
}

void CTessarelView::SelectFirstOrLastCard(int flag) {
    QTreeWidgetItem* selected = currentItem();
    if (!selected) return;
    QTreeWidgetItem* category = selected->parent() ? selected->parent() : selected;
    const int count = CountCardsInItem(category);
    if (count > 0) ExpandAndSelectCard(category, flag == 1 ? count - 1 : 0);
}

CCard* CTessarelView::GetCurrentCard() const {
    QTreeWidgetItem* selected = currentItem();
    CTessarelDoc* doc = Doc();
    if (!selected || !selected->parent() || !doc) return nullptr;
    CCardList* list = doc->GetCategoryList(CodeOf(selected->parent()));
    return list ? list->GetAt(currentCardIndex) : nullptr;
}

QString CTessarelView::GetSelectedCategoryName() const {
    QTreeWidgetItem* selected = currentItem();
    if (!selected) return {};
    return selected->parent() ? selected->parent()->text(0) : selected->text(0);
}

void CTessarelView::SetSelectedItemText(const QString& text) {
    QTreeWidgetItem* selected = currentItem();
    if (!selected) {
        Dialogs().ShowMessage(Message{{}, "GetSelectedItem() Error", MessageButtons::Ok, MessageIcon::Information, MessageOwner::MainWindow});
        return;
    }
    selected->setText(0, text);
    const int code = CodeOf(selected->parent());
    if (code >= 0) renamed.emplace_back(code, CardIndexOf(selected));
}

int CTessarelView::CodeOf(const QTreeWidgetItem* category) const {
    auto found = std::find(categoryItems.begin(), categoryItems.end(), category);
    return found == categoryItems.end() ? -1 : static_cast<int>(found - categoryItems.begin());
}

QTreeWidgetItem* CTessarelView::GetCategoryItem(int code) const {
    if (code < 0 || code >= kCategoryCount) return nullptr;
    return categoryItems[static_cast<std::size_t>(code)];
}

QTreeWidgetItem* CTessarelView::FindCategoryItem(const QString& name) const {
    for (QTreeWidgetItem* item : categoryItems)
        if (item && item->text(0) == name) return item;
    return nullptr;
}

int CTessarelView::CountCardsInItem(QTreeWidgetItem* category) const {
    CTessarelDoc* doc = Doc();
    CCardList* list = doc && category ? doc->GetCategoryList(CodeOf(category)) : nullptr;
    return list ? list->GetCount() : 0;
}

int CTessarelView::CountAllCards() const {
    CTessarelDoc* doc = Doc();
    if (!doc) return 0;
    int total = 0;
    for (int code = 0; code < kCategoryCount; ++code) total += doc->GetCategoryList(code)->GetCount();
    return total;
}

void CTessarelView::SetCategoryImage(QTreeWidgetItem* category) {
    if (category && !category->parent() && CountCardsInItem(category) == 0) SetImage(category, kCollapsedImage);
}

}  // namespace tessarel
