#include "CTessarelListView.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "CTessarelView.h"
#include "mainframe/dialogs/CardText.h"
#include "cardstore/CardFieldRows.h"
#include "cardstore/CardTime.h"
#include "framework/ChildFrame.h"
#include "framework/Settings.h"
#include "mainframe/dialogs/CCardDlg.h"
#include "mainframe/dialogs/CardDialogExchange.h"
#include "CardViewHost.h"
#include "mainframe/dialogs/CNoteDlg.h"
#include "mainframe/dialogs/RevealButton.h"
#include "cardstore/document/CTessarelDoc.h"

namespace tessarel {

namespace {

const QColor kTextColour(0, 0, 255);
constexpr int kPasswordRow = 3;
constexpr int kNoteRow = 4;
constexpr int kLabelLength = 19;  // each label goes through a 20-character buffer

}  // namespace

CTessarelListView::CTessarelListView(CardViewHost* viewHost, QWidget* parent) : QTreeWidget(parent), host(viewHost) {
    setObjectName(QStringLiteral("CTessarelListView"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setUniformRowHeights(true);
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Field"), QStringLiteral("Data")});
    header()->setSectionsClickable(false);
    if (host) host->Attach(&host);
}

CTessarelListView::~CTessarelListView() {
    if (host) host->Detach(&host);
}

void CTessarelListView::OnInitialUpdate() {
    setColumnWidth(0, 100);
    setColumnWidth(1, 400);
    OnUpdate(nullptr, 0, nullptr);
}

void CTessarelListView::OnUpdate(View*, int, const UpdateHint* hintObject) {
    const auto* cardHint = dynamic_cast<const CardShownHint*>(hintObject);
    if (cardHint && cardHint->card) {
        ShowCard(cardHint->card, cardHint->labels);
        return;
    }
    currentCard = nullptr;
    clear();
}

void CTessarelListView::AddRow(const std::string& label, const std::string& value) {
    auto* item = new QTreeWidgetItem(this, {CardTextToQString(label), CardTextToQString(value)});
    item->setForeground(0, kTextColour);
    item->setForeground(1, kTextColour);
}

void CTessarelListView::ShowCard(CCard* card, const std::array<std::string, 4>& labels) {
    // A click on another card's row must not decide what Copy, Cut and Paste take from this one.
    if (card != lastShownCard) {
        clickedRow = -1;
        clickedText.clear();
        clickedDate = 0;
    }
    lastShownCard = card;
    currentCard = card;
    clear();
    // The date text is made afresh from the time stamp with the current "Date Format".
    card->SetDateText(FormatCardDate(card->GetModified(), ReadInt(setting::DateFormat)));
    std::array<std::string, 4> shortLabels = labels;
    for (std::string& label : shortLabels)
        if (label.size() > kLabelLength) label.resize(kLabelLength);
    for (const FieldRow& row : CardFieldRows(*card, shortLabels, false)) AddRow(row.first, row.second);
}

QString CTessarelListView::RowLabel(int row) const {
    QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(0) : QString();
}

QString CTessarelListView::RowValue(int row) const {
    QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(1) : QString();
}

int CTessarelListView::RowAt(const QPoint& position) const {
    QTreeWidgetItem* item = itemAt(position);
    return item ? indexOfTopLevelItem(item) : -1;
}

void CTessarelListView::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    const int row = RowAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton) OnClickRow(row);
    if (event->button() == Qt::RightButton) OnRightClickRow(row);
}

void CTessarelListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QTreeWidget::mouseDoubleClickEvent(event);
    OnDoubleClickRow(RowAt(event->position().toPoint()));
}

void CTessarelListView::OnClickRow(int row) {
    if (currentCard) {
        switch (row) {
            case 0: clickedText = currentCard->GetFieldText1(); break;
            case 1: clickedText = currentCard->GetFieldText2(); break;
            case 2: clickedText = currentCard->GetFieldText3(); break;
            case 3: clickedText = currentCard->GetFieldText4(); break;
            case 4: clickedText = currentCard->GetNote(); break;
            case 5:
                // Also on the "Automatic Access:" row of a browser card: the date is what Copy takes.
                clickedText = currentCard->GetDateText();
                clickedDate = currentCard->GetModified();
                break;
            default: break;
        }
    }
    clickedRow = row;
}

void CTessarelListView::OnRightClickRow(int row) {
    if (row != kPasswordRow || !currentCard) return;
    QString shown = CardTextToQString(currentCard->GetFieldText4());
    const QRect rect = visualItemRect(topLevelItem(row));
    ShowRevealPopup(this, shown, viewport()->mapToGlobal(rect.topLeft() + QPoint(80, 0)));
    WipeText(shown);
}

CTessarelView* CTessarelListView::Tree() const {
    CTessarelDoc* doc = dynamic_cast<CTessarelDoc*>(GetDocument());
    return doc ? dynamic_cast<CTessarelView*>(doc->GetFirstView()) : nullptr;
}

void CTessarelListView::OnDoubleClickRow(int row) {
    if (currentCard && host) {
        if (currentCard->GetCategoryName().empty())
            currentCard->SetCategoryName(host->CategoryNameOf(currentCard->GetCategoryCode()).toStdString());
        const bool browserGroup = IsBrowserGroupName(currentCard->GetCategoryName());
        if (row == kNoteRow)
            EditNote();
        else if (row == 0 || row == 1 || row == 2 || row == kPasswordRow || row == 7)
            EditCardFromList();
        else if ((row == 5 || row == 6) && browserGroup)
            ToggleOption(row);
    }
    RefreshAfterDoubleClick();
}

bool CTessarelListView::EditNote() {
    auto* doc = dynamic_cast<CTessarelDoc*>(GetDocument());
    CNoteDlg dialog;
    dialog.note = NoteToQString(currentCard->GetNote());
    if (dialog.DoModal() != QDialog::Accepted) return false;
    std::optional<SecureString> note = NoteFromQString(dialog.note);
    if (!note || !doc) return false;
    currentCard->SetNote(*note);
    host->StoreCard(*doc, CardTextToQString(currentCard->GetCategoryName()), *currentCard, host->GetSelectedCardIndex());
    doc->SetModifiedFlag();
    return true;
}

void CTessarelListView::ToggleOption(int row) {
    auto* doc = dynamic_cast<CTessarelDoc*>(GetDocument());
    if (!doc) return;
    std::int32_t value = row == 5 ? currentCard->GetAutomaticAccess() : currentCard->GetNewBrowserWindow();
    value = value == 1 ? 0 : 1;
    if (row == 5)
        currentCard->SetAutomaticAccess(value);
    else
        currentCard->SetNewBrowserWindow(value);
    if (QTreeWidgetItem* item = topLevelItem(row)) item->setText(1, value == 1 ? QStringLiteral("On") : QStringLiteral("Off"));
    host->StoreCard(*doc, CardTextToQString(currentCard->GetCategoryName()), *currentCard, host->GetSelectedCardIndex());
    doc->SetModifiedFlag();
}

bool CTessarelListView::EditCardFromList() {
    auto* doc = dynamic_cast<CTessarelDoc*>(GetDocument());
    if (!doc) return false;
    CCard& card = *currentCard;
    CCardDlg dialog;
    std::array<std::string, 4> labels;
    doc->Data().GetCategoryLabels(card.GetCategoryCode(), labels[0], labels[1], labels[2], labels[3]);
    SetCardDialogLabels(dialog, labels);
    LoadCardIntoDialog(dialog, card);
    dialog.categoryName = CardTextToQString(card.GetCategoryName());
    dialog.browserAttributesEnabled = IsBrowserGroupName(card.GetCategoryName()) ? 1 : 0;
    if (dialog.DoModal() != QDialog::Accepted) return false;
    // Every text must fit the card's character set before anything is written.
    std::optional<CardDialogTexts> texts = CardDialogTextsOf(dialog);
    auto category = texts ? CardTextFromQString(dialog.categoryName) : std::nullopt;
    if (!category) return false;
    StoreDialogInCard(*texts, dialog, card);
    card.SetCategoryName(*category);
    card.SetEdited(true);
    host->StoreCard(*doc, dialog.categoryName, card, host->GetSelectedCardIndex());
    doc->SetModifiedFlag();
    return true;
}

void CTessarelListView::RefreshAfterDoubleClick() {
    auto* doc = dynamic_cast<CTessarelDoc*>(GetDocument());
    CTessarelView* tree = Tree();
    if (!doc || !host || !tree) return;
    doc->UpdateAllViews(nullptr);
    clearFocus();
    if (ChildFrame* child = GetParentFrame()) child->SetActiveView(tree);
    QTreeWidgetItem* category = tree->FindCategoryItem(tree->GetSelectedCategoryName());
    const int index = host->GetSelectedCardIndex();
    tree->ShowCardOfItem(tree->FindCardItem(category, index), category);
    tree->ExpandAndSelectCard(category, index);
}

}  // namespace tessarel
