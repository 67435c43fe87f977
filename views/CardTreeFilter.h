#pragma once
// The quick filter of one category tree. While a text is set, only the cards that match it stay
// shown: categories with a match are expanded, the others collapse (all fifteen stay, as the tree
// always shows them), and the status counts read "n of m". Setting an empty text puts back the
// expansion the tree had before filtering and its selection: the card chosen while filtering if
// the person chose one, else the one selected before.

#include <QObject>
#include <array>
#include <cstdint>
#include <vector>

#include "cardstore/CategoryTable.h"
#include "core/SecureBuffer.h"

class QTreeWidgetItem;

namespace tessarel {

class CCard;
class CTessarelView;

class CardTreeFilter : public QObject {
    Q_OBJECT
public:
    explicit CardTreeFilter(CTessarelView& tree);

    // `text` as typed; text that no card can hold (outside Windows-1252) matches no card.
    void SetFilter(const QString& text, bool secretsToo);
    void Clear() { SetFilter(QString(), false); }
    bool Active() const { return active; }

    // The tree made its card items again (an update): the filter applies to the new items.
    void TreeChanged();
    // Writes the "n of m" counts of the whole tree and of the selected category into the status
    // dialog bar.
    void ShowCounts() const;

    int Matches() const { return totalMatches; }
    int MatchesIn(int code) const { return matches[static_cast<std::size_t>(code)]; }

private:
    void SaveTreeState();
    void RestoreTreeState();
    void Apply(bool knownState);
    void ShowRow(int code, int row, bool show);
    void OnCurrentChanged(QTreeWidgetItem* current);

    CTessarelView& tree;
    // The folded text may be part of a password when passwords are searched.
    SecureString text;
    bool matchNothing = false;
    bool secretsToo = false;
    bool active = false;
    bool applying = false;
    bool chosenWhileFiltering = false;
    bool stateSaved = false;
    std::array<bool, kCategoryCount> savedExpanded{};
    int savedCode = 0;
    int savedCardIndex = -1;
    // Per category, by row: whether the row is hidden now (as this filter last set it).
    std::array<std::vector<std::uint8_t>, kCategoryCount> hidden;
    // Per category, by row: the card the row shows, looked up when the rows were last made.
    std::array<std::vector<const CCard*>, kCategoryCount> cards;
    // Whether `cards` still describes the tree: the tree tells of every change it makes.
    bool rowCardsKnown = false;
    // The text the rows were last filtered with.
    SecureString previousText;
    bool previousSecrets = false;
    bool previousNothing = false;
    bool previousValid = false;
    std::array<int, kCategoryCount> matches{};
    int totalMatches = 0;
};

}  // namespace tessarel
