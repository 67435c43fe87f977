#include "CardTreeFilter.h"


#include "CTessarelView.h"
#include "cardstore/CardFilter.h"
#include "core/Win1252.h"
#include "CardViewHost.h"
#include "cardstore/document/CTessarelDoc.h"

namespace tessarel {

CardTreeFilter::CardTreeFilter(CTessarelView& tree_) : QObject(&tree_), tree(tree_) {
    connect(&tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) { OnCurrentChanged(current); });
}

void CardTreeFilter::SetFilter(const QString& typed, bool secrets) {
    QByteArray utf8 = typed.toUtf8();
    std::optional<std::string> bytes = Utf8ToWin1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    SecureWipe(utf8.data(), static_cast<std::size_t>(utf8.size()));
    matchNothing = !bytes;
    text.clear();
    if (bytes) {
        text.assign(*bytes);
        WipeString(*bytes);
    }
    secretsToo = secrets;
    active = !typed.isEmpty();
    // A window still being made has no items yet; its first update applies the filter.
    if (!tree.GetCategoryItem(0)) return;
    if (!active) {
        if (stateSaved) RestoreTreeState();
        return;
    }
    const bool known = stateSaved;
    if (!stateSaved) SaveTreeState();
    Apply(known);
}

void CardTreeFilter::SaveTreeState() {
    for (int code = 0; code < kCategoryCount; ++code) {
        savedExpanded[static_cast<std::size_t>(code)] = tree.GetCategoryItem(code)->isExpanded();
        hidden[static_cast<std::size_t>(code)].assign(static_cast<std::size_t>(tree.GetCategoryItem(code)->childCount()), 0);
    }
    QTreeWidgetItem* current = tree.currentItem();
    savedCode = current ? tree.CodeOf(current->parent() ? current->parent() : current) : 0;
    savedCardIndex = current && current->parent() ? CTessarelView::CardIndexOf(current) : -1;
    chosenWhileFiltering = false;
    stateSaved = true;
}

void CardTreeFilter::ShowRow(int code, int row, bool show) {
    auto& rows = hidden[static_cast<std::size_t>(code)];
    const auto at = static_cast<std::size_t>(row);
    if (rows[at] == (show ? 0 : 1)) return;
    rows[at] = show ? 0 : 1;
    // By row under the category's index: the item's own setHidden looks its row up among all
    // of the category's children, which costs a search per card in a large category.
    tree.setRowHidden(row, tree.model()->index(code, 0), !show);
}

void CardTreeFilter::Apply(bool knownState) {
    CTessarelDoc* doc = dynamic_cast<CTessarelDoc*>(tree.GetDocument());
    if (!doc) return;
    // Typing on narrows what the last text showed: only the rows shown can go. Deleting a
    // character widens it: only the rows hidden can come back. Either way most rows are skipped.
    const bool comparable = knownState && previousValid && !matchNothing && !previousNothing && secretsToo == previousSecrets;
    const bool narrowing = comparable && text.find(previousText) != SecureString::npos;
    const bool widening = comparable && previousText.find(text) != SecureString::npos;
    applying = true;
    tree.setUpdatesEnabled(false);
    totalMatches = 0;
    for (int code = 0; code < kCategoryCount; ++code) {
        QTreeWidgetItem* category = tree.GetCategoryItem(code);
        const CCardList* list = doc->GetCategoryList(code);
        auto& rows = hidden[static_cast<std::size_t>(code)];
        auto& rowCards = cards[static_cast<std::size_t>(code)];
        const int count = category->childCount();
        // After a rebuild the rows are new: each is set, whatever this filter set before.
        if (!knownState || rows.size() != static_cast<std::size_t>(count)) rows.assign(static_cast<std::size_t>(count), 2);
        // The card of each row is looked up once per tree: reading every item's data is a third
        // of a first keystroke, and clearing the filter does not change which card a row shows.
        if (!rowCardsKnown || rowCards.size() != static_cast<std::size_t>(count)) {
            rowCards.resize(static_cast<std::size_t>(count));
            for (int row = 0; row < count; ++row) rowCards[static_cast<std::size_t>(row)] = list->GetAt(CTessarelView::CardIndexOf(category->child(row)));
        }
        int found = 0;
        for (int row = 0; row < count; ++row) {
            const std::uint8_t state = rows[static_cast<std::size_t>(row)];
            if ((narrowing && state == 1) || (widening && state == 0)) {
                found += state == 0 ? 1 : 0;
                continue;
            }
            const CCard* card = rowCards[static_cast<std::size_t>(row)];
            const bool match = !matchNothing && card && CardMatchesFilter(*card, text, secretsToo);
            found += match ? 1 : 0;
            ShowRow(code, row, match);
        }
        matches[static_cast<std::size_t>(code)] = found;
        totalMatches += found;
        if (category->isExpanded() != (found > 0)) category->setExpanded(found > 0);
    }
    rowCardsKnown = true;
    previousText = text;
    previousSecrets = secretsToo;
    previousNothing = matchNothing;
    previousValid = true;
    // A selected card the filter hides gives the selection to its category, so the field list
    // never shows a card the tree does not.
    QTreeWidgetItem* current = tree.currentItem();
    if (current && current->parent() && current->isHidden()) tree.setCurrentItem(current->parent());
    tree.setUpdatesEnabled(true);
    applying = false;
    ShowCounts();
}

void CardTreeFilter::RestoreTreeState() {
    stateSaved = false;
    previousValid = false;
    applying = true;
    tree.setUpdatesEnabled(false);
    for (int code = 0; code < kCategoryCount; ++code) {
        auto& rows = hidden[static_cast<std::size_t>(code)];
        for (std::size_t row = 0; row < rows.size(); ++row)
            if (rows[row] != 0) tree.setRowHidden(static_cast<int>(row), tree.model()->index(code, 0), false);
        rows.clear();
        QTreeWidgetItem* category = tree.GetCategoryItem(code);
        const bool expanded = savedExpanded[static_cast<std::size_t>(code)] && category->childCount() > 0;
        if (category->isExpanded() != expanded) category->setExpanded(expanded);
    }
    tree.setUpdatesEnabled(true);
    applying = false;
    QTreeWidgetItem* current = tree.currentItem();
    if (chosenWhileFiltering && current && current->parent()) {
        // The card found through the filter stays selected, its category open.
        current->parent()->setExpanded(true);
        tree.ShowCardOfItem(current, current->parent());
        tree.scrollToItem(current);
    } else if (QTreeWidgetItem* category = tree.GetCategoryItem(savedCode)) {
        QTreeWidgetItem* card = savedCardIndex >= 0 ? tree.FindCardItem(category, savedCardIndex) : nullptr;
        if (card) category->setExpanded(true);
        QTreeWidgetItem* target = card ? card : category;
        if (target == current) {
            // The selection did not change, so no signal brings the counts back.
            tree.ShowCardOfItem(card, category);
        } else {
            tree.setCurrentItem(target);
        }
        tree.scrollToItem(target);
    }
}

void CardTreeFilter::TreeChanged() {
    // Rows may have come, gone or moved, and cards may have been replaced.
    rowCardsKnown = false;
    if (!active) return;
    if (!stateSaved) SaveTreeState();
    Apply(false);
}

void CardTreeFilter::OnCurrentChanged(QTreeWidgetItem* current) {
    if (active && !applying && current && current->parent()) chosenWhileFiltering = true;
}

void CardTreeFilter::ShowCounts() const {
    CardViewHost* host = tree.Host();
    if (!host) return;
    QTreeWidgetItem* category = tree.currentItem();
    if (category && category->parent()) category = category->parent();
    const int code = tree.CodeOf(category);
    const int inCategory = code >= 0 ? matches[static_cast<std::size_t>(code)] : 0;
    host->ShowCardCountTexts(QStringLiteral("%1 of %2").arg(inCategory).arg(tree.CountCardsInItem(category)),
                             QStringLiteral("%1 of %2").arg(totalMatches).arg(tree.CountAllCards()));
}

}  // namespace tessarel
