#pragma once
// The card field list of a card window: the card selected in the category tree as rows of label
// and value, the password masked. A click remembers the row's full value for Copy and Cut, a
// double click edits the card, its note or one browser option, and a right click on the password
// row shows the password in a pop-up.

#include <QTreeWidget>
#include <array>
#include <cstdint>
#include <string>

#include "cardstore/CCard.h"
#include "framework/View.h"

namespace tessarel {

class CTessarelView;
class CardViewHost;

class CTessarelListView : public QTreeWidget, public View {
    Q_OBJECT
public:
    // `host` (may be null: a double click then edits nothing) is told when the view
    // goes; a host that goes first leaves the view without one.
    explicit CTessarelListView(CardViewHost* host, QWidget* parent = nullptr);
    ~CTessarelListView() override;
    QWidget* Widget() override { return this; }

    void OnInitialUpdate() override;
    void OnUpdate(View* sender, int hint, const UpdateHint* hintObject) override;

    // What a click, a double click and a right click on row `row` (-1: no row) do.
    void OnClickRow(int row);
    void OnDoubleClickRow(int row);
    void OnRightClickRow(int row);

    CCard* GetCurrentCard() const { return currentCard; }
    int RowCount() const { return topLevelItemCount(); }
    QString RowLabel(int row) const;
    QString RowValue(int row) const;

    CardText clickedText;  // full, unmasked value of the row last clicked
    std::uint32_t clickedDate = 0;
    int clickedRow = -1;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ShowCard(CCard* card, const std::array<std::string, 4>& labels);
    void AddRow(const std::string& label, const std::string& value);
    int RowAt(const QPoint& position) const;
    CTessarelView* Tree() const;
    bool EditCardFromList();
    bool EditNote();
    void ToggleOption(int row);
    void RefreshAfterDoubleClick();

    CardViewHost* host;
    CCard* currentCard = nullptr;
    const CCard* lastShownCard = nullptr;  // compared only, never followed
};

}  // namespace tessarel
