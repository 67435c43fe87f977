// The card commands of the main frame (New, Delete, Edit, First/Last, Find, Copy Password, Copy,
// Cut, Paste) and the operations on a document's category lists that they and the views use.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "mainframe/dialogs/CCardDlg.h"
#include "mainframe/dialogs/CardDialogExchange.h"
#include "CFindCardDlg.h"
#include "CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "mainframe/dialogs/PasswordClipboard.h"
#include "cardstore/CCard.h"
#include "cardstore/CardTime.h"
#include "cardstore/CategorySets.h"
#include "cardstore/CategoryTable.h"
#include "cardstore/LegacyDateText.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/DialogHost.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"
#include "mainframe/dialogs/CardText.h"

namespace tessarel {

namespace {

// The active card window: its frame, document and two views.
struct CardWindow {
    ChildFrame* child = nullptr;
    CTessarelDoc* doc = nullptr;
    CTessarelView* tree = nullptr;
    CTessarelListView* list = nullptr;
    View* activeView = nullptr;  // the active view before the command made the tree active
    explicit operator bool() const { return tree != nullptr; }
};

CardWindow FindCardWindow(const CMainFrame& frame, bool activateTree) {
    CardWindow window;
    window.child = frame.GetActiveChild();
    window.doc = frame.ActiveCardDocument();
    if (!window.child || !window.doc) return {};
    window.tree = dynamic_cast<CTessarelView*>(window.doc->GetFirstView());
    for (View* view : window.doc->GetViews())
        if (auto* list = dynamic_cast<CTessarelListView*>(view)) window.list = list;
    window.activeView = window.child->GetActiveView();
    if (window.tree && activateTree) window.child->SetActiveView(window.tree);
    return window;
}

// The card dialog of New Card and Edit Card offers the browser options for these categories.
bool BrowserAttributesFor(const QString& category) {
    return category_sets::Contains(category_sets::kCardCommandBrowserOptions, category.toStdString());
}

QString FieldPrefix(const QString& category) {
    const std::string_view prefix = category_sets::NewCardAddressPrefix(category.toStdString());
    return QString::fromLatin1(prefix.data(), static_cast<qsizetype>(prefix.size()));
}

void TellOwned(const char* text) {
    Dialogs().ShowMessage(Message{text, ApplicationTitle().toStdString(), MessageButtons::Ok, MessageIcon::None, MessageOwner::MainWindow});
}

int DateFormatSetting() { return ReadInt(setting::DateFormat); }

std::string UnreadableDateMessage(const QString& pasted) {
    return QStringLiteral("The date \"%1\" cannot be read. Paste it as dd-mm-yyyy (24-12-2003) or yy/mm/dd (98/12/24).")
        .arg(pasted)
        .toStdString();
}

// After a card left its category: the category is selected and the counts follow.
void SelectCategoryAfterRemoval(CMainFrame& frame, const CardWindow& window, const QString& category) {
    QTreeWidgetItem* item = window.tree->FindCategoryItem(category);
    const int count = window.tree->CountCardsInItem(item);
    if (item) window.tree->setCurrentItem(item);
    window.tree->setFocus();
    window.tree->SetCardSelected(0);
    window.tree->SetCategoryImage(item);
    frame.ShowCardCounts(count, 0, window.tree->CountAllCards());
}

// After a field of the shown card changed through the field list: the tree takes over again and
// selects the card once more.
void ReselectCard(const CardWindow& window) {
    window.doc->SetModifiedFlag();
    window.doc->UpdateAllViews(nullptr);
    window.child->SetActiveView(window.tree);
    QTreeWidgetItem* category = window.tree->FindCategoryItem(window.tree->GetSelectedCategoryName());
    if (QTreeWidgetItem* card = window.tree->FindCardItem(category, window.tree->GetCurrentCardIndex()))
        window.tree->setCurrentItem(card);
}

// Tells the views that `code`'s list gained its last entry or lost the one at `index`; the tree
// changes that one item in place.
void UpdateViewsAfterAdd(CTessarelDoc& doc, const CardPlace& place) {
    const CardListChangeHint change(CardListChangeHint::Kind::Added, place.code, place.index);
    doc.UpdateAllViews(nullptr, 0, &change);
}

void UpdateViewsAfterRemoval(CTessarelDoc& doc, int code, int index) {
    const CardListChangeHint change(CardListChangeHint::Kind::Removed, code, index);
    doc.UpdateAllViews(nullptr, 0, &change);
}

}  // namespace

// --- list operations ---------------------------------------------------------------------------

int CMainFrame::CategoryCodeOf(const QString& name) const {
    std::optional<int> code = CategoryCodeOfName(name.toStdString());
    return code ? *code : -1;
}

QString CMainFrame::CategoryNameOf(int code) const {
    std::string_view name = CategoryName(code >= 1 && code < kCategoryCount ? code : 0);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<CardPlace> CMainFrame::AddCardToCategory(CTessarelDoc& doc, int code, std::unique_ptr<CCard> card) {
    CCardList* list = doc.GetCategoryList(code);
    if (!list || !card) return std::nullopt;
    CCard* kept = card.get();
    const int index = list->Add(std::move(card)) - 1;
    // The card knows its place from the moment it has one, not from the next tree update.
    kept->SetListIndex(index);
    return CardPlace{kept, code, index};
}

std::optional<CardPlace> CMainFrame::AddCardByName(CTessarelDoc& doc, const QString& name, std::unique_ptr<CCard> card) {
    const int code = CategoryCodeOf(name);
    if (code == 0 || (code >= 2 && code <= 13)) return AddCardToCategory(doc, code, std::move(card));
    return std::nullopt;
}

std::unique_ptr<CCard> CMainFrame::RemoveCardAt(CTessarelDoc& doc, const QString& name, int index) {
    CCardList* list = doc.GetCategoryList(CategoryCodeOf(name));
    return list ? list->TakeAt(index) : nullptr;
}

void CMainFrame::StoreCard(CTessarelDoc& doc, const QString& name, const CCard& card, int index) {
    CCardList* list = doc.GetCategoryList(CategoryCodeOf(name));
    CCard* target = list ? list->GetAt(index) : nullptr;
    // Cards are edited where they live; a card given from elsewhere replaces the entry's contents.
    if (target && target != &card) *target = card;
}

void CMainFrame::FillCardDialogLabels(CCardDlg& dialog, const CTessarelDoc& doc, const QString& category) const {
    std::array<std::string, 4> labels;
    doc.Data().GetCategoryLabelsByName(category.toStdString(), labels[0], labels[1], labels[2], labels[3]);
    SetCardDialogLabels(dialog, labels);
}

std::unique_ptr<CCard> CMainFrame::CardFromDialog(const CCardDlg& dialog) const {
    std::optional<CardDialogTexts> texts = CardDialogTextsOf(dialog);
    const int code = CategoryCodeOf(dialog.categoryName);
    if (!texts || code < 0) return nullptr;
    auto card = std::make_unique<CCard>();
    StoreDialogInCard(*texts, dialog, *card);
    card->SetCategoryCode(static_cast<std::uint8_t>(code));
    card->SetCategoryName(dialog.categoryName.toStdString());
    return card;
}

void CMainFrame::AddToDeleted(CTessarelDoc& doc, std::unique_ptr<CCard> card) {
    if (card) doc.GetDeletedList().Add(std::move(card));
}

// --- commands ----------------------------------------------------------------------------------

void CMainFrame::RegisterCardCommands() {
    using namespace res;
    auto child = [this] { return GetActiveChild() != nullptr; };
    auto selected = [this] { return cardSelected != 0; };
    auto oneSelected = [this] { return cardSelected == 1; };
    auto hasCards = [this] {
        CTessarelDoc* document = ActiveCardDocument();
        return document && document->HasCards();
    };
    auto newCard = [this] { OnNewCard(); };
    auto deleteCard = [this] { OnDeleteCard(); };
    auto editCard = [this] { OnEditCard(); };
    auto find = [this] { OnFind(); };
    Register(CommandTable{
        // The toolbar's button needs a card window; the menu item and Ctrl+N reach the handler
        // anyway, which then finds no card window and does nothing.
        CommandRow::When(AddCardButton, newCard, child),
        CommandRow::Always(NewCard, newCard),
        CommandRow::When(DeleteCardButton, deleteCard, selected),
        CommandRow::When(DeleteCard, deleteCard, selected),
        CommandRow::When(UpdateCardButton, editCard, selected),
        CommandRow::When(EditCard, editCard, oneSelected),
        CommandRow::Always(FirstCard, [this] { OnFirstOrLastCard(0); }),
        CommandRow::Always(LastCard, [this] { OnFirstOrLastCard(1); }),
        CommandRow::When(FindButton, find, [child, hasCards] { return child() && hasCards(); }),
        // With no card file open the menu's Find stays enabled (and finds no card window).
        CommandRow::When(cmd::EditFind, find, [this, hasCards] { return ActiveCardDocument() ? hasCards() : true; }),
        CommandRow::When(CopyPasswordButton, [this] { OnCopyPassword(); }, [child, oneSelected] { return child() && oneSelected(); }),
        CommandRow::When(cmd::EditCopy, [this] { OnEditCopy(); },
                         [this] {
                             ChildFrame* active = GetActiveChild();
                             return active && (dynamic_cast<CTessarelListView*>(active->GetActiveView()) != nullptr || cardSelected == 1);
                         }),
        CommandRow::When(cmd::EditCut, [this] { OnEditCut(); }, selected),
        CommandRow::When(cmd::EditPaste, [this] { OnEditPaste(); }, [this] { return cardClipboard.full != 0; }),
    });
}

void CMainFrame::OnNewCard() {
    CardWindow window = FindCardWindow(*this, true);
    if (!window) return;
    const QString category = window.tree->GetSelectedCategoryName();
    CCardDlg dialog;
    dialog.categoryName = category;
    FillCardDialogLabels(dialog, *window.doc, category);
    dialog.secondField = FieldPrefix(category);
    dialog.browserAttributesEnabled = BrowserAttributesFor(category) ? 1 : 0;
    dialog.hidePassword = 1;
    if (dialog.DoModal() != QDialog::Accepted) return;
    std::unique_ptr<CCard> card = CardFromDialog(dialog);
    if (!card) return;
    card->Stamp(CurrentCardTimeStamp(), DateFormatSetting());
    const int code = card->GetCategoryCode();
    std::optional<CardPlace> place = AddCardToCategory(*window.doc, code, std::move(card));
    window.doc->SetModifiedFlag();
    if (!place) return;
    UpdateViewsAfterAdd(*window.doc, *place);
    window.tree->ExpandAndSelectCard(window.tree->FindCategoryItem(dialog.categoryName), place->index);
    window.tree->setFocus();
}

void CMainFrame::OnDeleteCard() {
    CardWindow window = FindCardWindow(*this, true);
    if (!window) return;
    const QString category = window.tree->GetSelectedCategoryName();
    const int index = window.tree->GetCurrentCardIndex();
    if (window.tree->IsCardSelected() != 1 || !window.tree->GetCurrentCard()) return;
    Message question{"Are you sure you want to delete this card?", "Warning", MessageButtons::OkCancel, MessageIcon::Warning,
                     MessageOwner::MainWindow};
    if (Dialogs().ShowMessage(question) != MessageAnswer::Ok) return;
    std::unique_ptr<CCard> card = RemoveCardAt(*window.doc, category, index);
    if (!card) return;
    card->SetDeleted(true);
    AddToDeleted(*window.doc, std::move(card));
    UpdateViewsAfterRemoval(*window.doc, CategoryCodeOf(category), index);
    window.doc->SetModifiedFlag();
    SelectCategoryAfterRemoval(*this, window, category);
}

void CMainFrame::OnEditCard() {
    CardWindow window = FindCardWindow(*this, true);
    if (!window) return;
    const QString category = window.tree->GetSelectedCategoryName();
    CCard* card = window.tree->GetCurrentCard();
    if (!card) return;
    CCardDlg dialog;
    const int code = card->GetCategoryCode();
    dialog.categoryName = CategoryNameOf(code);
    std::array<std::string, 4> labels;
    window.doc->Data().GetCategoryLabels(code, labels[0], labels[1], labels[2], labels[3]);
    SetCardDialogLabels(dialog, labels);
    LoadCardIntoDialog(dialog, *card);
    dialog.browserAttributesEnabled = BrowserAttributesFor(category) ? 1 : 0;
    const int index = window.tree->GetCurrentCardIndex();
    if (dialog.DoModal() == QDialog::Accepted) {
        if (std::optional<CardDialogTexts> texts = CardDialogTextsOf(dialog)) {
            StoreDialogInCard(*texts, dialog, *card);
            if (const int newCode = CategoryCodeOf(dialog.categoryName); newCode >= 0) card->SetCategoryCode(static_cast<std::uint8_t>(newCode));
            card->SetEdited(true);
            StoreCard(*window.doc, category, *card, index);
            window.doc->SetModifiedFlag();
            window.tree->SetSelectedItemText(dialog.name);
        }
    }
    if (index >= 0) {
        QTreeWidgetItem* item = window.tree->FindCategoryItem(category);
        window.tree->ShowCardOfItem(window.tree->FindCardItem(item, index), item);
    }
}

void CMainFrame::OnFirstOrLastCard(int flag) {
    if (CardWindow window = FindCardWindow(*this, true)) window.tree->SelectFirstOrLastCard(flag);
}

void CMainFrame::OnFind() {
    if (findDialog) return;
    if (!FindCardWindow(*this, false)) return;
    CFindCardDlg::Target target{[this] { return ActiveCardDocument(); }, [this] { return GetActiveChild(); },
                                [this](CFindCardDlg* closing) {
                                    if (findDialog == closing) findDialog = nullptr;
                                }};
    auto* dialog = new CFindCardDlg(std::move(target), this);
    findDialog = dialog;
    dialog->Initialise();
    dialog->show();
    dialog->move(geometry().center() - dialog->rect().center());
}

void CMainFrame::OnCopyPassword() {
    CardWindow window = FindCardWindow(*this, true);
    if (!window) return;
    if (CCard* card = window.tree->GetCurrentCard()) PlacePasswordOnClipboard(card->GetFieldText4());
}

void CMainFrame::PlaceTextOnClipboard(std::string_view bytes) {
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard) {
        TellOwned("Cannot open the Clipboard.");
        return;
    }
    clipboard->setText(NoteToQString(bytes));
    if (clipboard->text() != NoteToQString(bytes)) TellOwned("Unable to set Clipboard data.");
}

void CMainFrame::PlacePasswordOnClipboard(std::string_view bytes) {
    if (!QApplication::clipboard()) {
        TellOwned("Cannot open the Clipboard.");
        return;
    }
    if (!CopyPasswordToClipboard(bytes)) TellOwned("Unable to set Clipboard data.");
}

void CMainFrame::PlaceClickedRowOnClipboard(const CTessarelListView& list) {
    constexpr int kPasswordRow = 3;
    if (list.clickedRow == kPasswordRow) PlacePasswordOnClipboard(list.clickedText);
    else PlaceTextOnClipboard(list.clickedText);
}

void CMainFrame::OnEditCopy() {
    CardWindow window = FindCardWindow(*this, false);
    if (!window) return;
    if (window.activeView == window.tree) {
        CCard* card = window.tree->GetCurrentCard();
        cardClipboard.card = card ? std::make_unique<CCard>(*card) : nullptr;
    } else if (window.list && window.activeView == window.list) {
        PlaceClickedRowOnClipboard(*window.list);
    } else {
        return;
    }
    cardClipboard.full = 1;
}

void CMainFrame::OnEditCut() {
    CardWindow window = FindCardWindow(*this, false);
    if (window && window.activeView == window.tree) {
        const QString category = window.tree->GetSelectedCategoryName();
        const int index = window.tree->GetCurrentCardIndex();
        // Only a selected card leaves its list; with a category selected there is nothing to cut.
        if (window.tree->GetCurrentCard()) {
            cardClipboard.card = RemoveCardAt(*window.doc, category, index);
            UpdateViewsAfterRemoval(*window.doc, CategoryCodeOf(category), index);
            window.doc->SetModifiedFlag();
            SelectCategoryAfterRemoval(*this, window, category);
        }
    } else if (window && window.list && window.activeView == window.list) {
        CCard* card = window.list->GetCurrentCard();
        PlaceClickedRowOnClipboard(*window.list);
        if (card) {
            switch (window.list->clickedRow) {
                case 0: card->SetFieldText1(""); break;
                case 1: card->SetFieldText2(""); break;
                case 2: card->SetFieldText3(""); break;
                case 3: card->SetFieldText4(""); break;
                case 4: card->SetNote(""); break;
                case 5:
                    card->SetDateText("");
                    card->SetModified(0);
                    break;
                default: break;
            }
        }
        ReselectCard(window);
    }
    cardClipboard.full = 1;
    cardClipboard.cut = 1;
}

void CMainFrame::OnEditPaste() {
    CardWindow window = FindCardWindow(*this, false);
    if (!window) return;
    if (window.activeView == window.tree) {
        const QString category = window.tree->GetSelectedCategoryName();
        const int code = CategoryCodeOf(category);
        if (cardClipboard.card && code >= 0) {
            auto card = std::make_unique<CCard>();
            std::string name(cardClipboard.card->GetFieldText1());
            card->SetFieldText1(cardClipboard.cut == 1 ? name : "Copy of " + name);
            card->SetFieldText2(cardClipboard.card->GetFieldText2());
            card->SetFieldText3(cardClipboard.card->GetFieldText3());
            card->SetFieldText4(cardClipboard.card->GetFieldText4());
            card->SetNote(cardClipboard.card->GetNote());
            card->SetCategoryCode(static_cast<std::uint8_t>(code));
            card->Stamp(CurrentCardTimeStamp(), DateFormatSetting());
            std::optional<CardPlace> place = AddCardToCategory(*window.doc, code, std::move(card));
            window.doc->SetModifiedFlag();
            if (place) {
                UpdateViewsAfterAdd(*window.doc, *place);
                window.tree->ExpandAndSelectCard(window.tree->FindCategoryItem(category), place->index);
            }
            window.tree->setFocus();
        }
        cardClipboard.full = 0;
        cardClipboard.cut = 0;
        return;
    }
    if (!window.list || window.activeView != window.list) return;
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard) {
        TellOwned("Cannot open the Clipboard.");
        return;
    }
    const QMimeData* mime = clipboard->mimeData();
    if (!mime || !mime->hasText()) {
        TellOwned("Unable to get Clipboard data.");
        return;
    }
    CCard* card = window.list->GetCurrentCard();
    const int row = window.list->clickedRow;
    if (card && row >= 0 && row <= 5) {
        std::optional<SecureString> text = row == 4 ? NoteFromQString(mime->text()) : CardTextFromQString(mime->text());
        if (!text) return;
        switch (row) {
            case 0: card->SetFieldText1(*text); break;
            case 1: card->SetFieldText2(*text); break;
            case 2: card->SetFieldText3(*text); break;
            case 3: card->SetFieldText4(*text); break;
            case 4: card->SetNote(*text); break;
            default: {
                // A date the legacy rule cannot read leaves the card as it was, and says so.
                std::optional<std::uint32_t> stamp = ReadLegacyDateText(*text);
                if (!stamp) {
                    TellOwned(UnreadableDateMessage(CardTextToQString(*text)).c_str());
                    return;
                }
                card->SetDateText(*text);
                card->SetModified(*stamp);
            }
        }
    }
    ReselectCard(window);
}

void CMainFrame::EmptyCardClipboard() {
    cardClipboard.card.reset();
    cardClipboard.full = 0;
    cardClipboard.cut = 0;
}

}  // namespace tessarel
