// The card commands of the main frame (New, Delete, Edit, First/Last, Find, Copy Password, Copy,
// Cut, Paste) and the operations on a document's category lists that they and the views use.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "CCardDlg.h"
#include "CFindCardDlg.h"
#include "CMainFrame.h"
#include "CTessarelDoc.h"
#include "PasswordClipboard.h"
#include "cardstore/CCard.h"
#include "cardstore/CardTime.h"
#include "cardstore/CategoryTable.h"
#include "cardstore/LegacyDateText.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/DialogHost.h"
#include "framework/Settings.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"
#include "views/CardText.h"

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

bool BrowserAttributesFor(const QString& category) {
    static const QStringList kCategories = {"WWW Sites", "WWW Forms", "Password Manager", "FTP Servers", "Miscellaneous"};
    return kCategories.contains(category);
}

QString FieldPrefix(const QString& category) {
    if (category == "WWW Sites" || category == "Miscellaneous") return QStringLiteral("http://");
    if (category == "FTP Servers" || category == "Newsgroups") return QStringLiteral("ftp://");
    if (category == "Login Accounts") return QStringLiteral("telnet://");
    return {};
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

// The five texts of a filled card dialog as card bytes; nullopt (after the message) when one of
// them holds a character the card cannot store.
struct DialogTexts {
    SecureString name, second, third, password, note;
};
std::optional<DialogTexts> TextsOf(const CCardDlg& dialog) {
    auto name = CardTextFromQString(dialog.name);
    auto second = name ? CardTextFromQString(dialog.secondField) : std::nullopt;
    auto third = second ? CardTextFromQString(dialog.thirdField) : std::nullopt;
    auto password = third ? CardTextFromQString(dialog.password) : std::nullopt;
    auto note = password ? NoteFromQString(dialog.note) : std::nullopt;
    if (!note) return std::nullopt;
    return DialogTexts{std::move(*name), std::move(*second), std::move(*third), std::move(*password), std::move(*note)};
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
void UpdateViewsAfterAdd(CTessarelDoc& doc, int code) {
    CCardList* list = doc.GetCategoryList(code);
    CardListChange change{code, list ? list->GetCount() - 1 : -1};
    doc.UpdateAllViews(nullptr, kCardAddedHint, &change);
}

void UpdateViewsAfterRemoval(CTessarelDoc& doc, int code, int index) {
    CardListChange change{code, index};
    doc.UpdateAllViews(nullptr, kCardRemovedHint, &change);
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

void CMainFrame::AddCardToCategory(CTessarelDoc& doc, int code, std::unique_ptr<CCard> card) {
    if (CCardList* list = doc.GetCategoryList(code)) list->Add(std::move(card));
}

void CMainFrame::AddCardByName(CTessarelDoc& doc, const QString& name, std::unique_ptr<CCard> card) {
    const int code = CategoryCodeOf(name);
    if (code == 0 || (code >= 2 && code <= 13)) AddCardToCategory(doc, code, std::move(card));
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
    for (std::size_t i = 0; i < labels.size(); ++i) dialog.labels[i] = CardTextToQString(labels[i]);
}

std::unique_ptr<CCard> CMainFrame::CardFromDialog(const CCardDlg& dialog) const {
    std::optional<DialogTexts> texts = TextsOf(dialog);
    const int code = CategoryCodeOf(dialog.categoryName);
    if (!texts || code < 0) return nullptr;
    auto card = std::make_unique<CCard>();
    card->SetFieldText1(texts->name);
    card->SetFieldText2(texts->second);
    card->SetFieldText3(texts->third);
    card->SetFieldText4(texts->password);
    card->SetNote(texts->note);
    card->SetCategoryCode(static_cast<std::uint8_t>(code));
    card->SetCategoryName(dialog.categoryName.toStdString());
    card->SetAutomaticAccess(dialog.automaticAccess);
    card->SetNewBrowserWindow(dialog.newBrowserWindow);
    return card;
}

void CMainFrame::AddToDeleted(CTessarelDoc& doc, std::unique_ptr<CCard> card) {
    if (card) doc.GetDeletedList().Add(std::move(card));
}

// --- commands ----------------------------------------------------------------------------------

void CMainFrame::RegisterCardCommands() {
    using namespace res;
    for (int id : {AddCardButton, NewCard}) OnCommand(id, [this] { OnNewCard(); });
    for (int id : {DeleteCardButton, DeleteCard}) OnCommand(id, [this] { OnDeleteCard(); });
    for (int id : {UpdateCardButton, EditCard}) OnCommand(id, [this] { OnEditCard(); });
    OnCommand(FirstCard, [this] { OnFirstOrLastCard(0); });
    OnCommand(LastCard, [this] { OnFirstOrLastCard(1); });
    for (int id : {FindButton, cmd::EditFind}) OnCommand(id, [this] { OnFind(); });
    OnCommand(CopyPasswordButton, [this] { OnCopyPassword(); });
    OnCommand(cmd::EditCopy, [this] { OnEditCopy(); });
    OnCommand(cmd::EditCut, [this] { OnEditCut(); });
    OnCommand(cmd::EditPaste, [this] { OnEditPaste(); });
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
    CCard* added = card.get();
    const int code = added->GetCategoryCode();
    AddCardToCategory(*window.doc, code, std::move(card));
    window.doc->SetModifiedFlag();
    UpdateViewsAfterAdd(*window.doc, code);
    window.tree->ExpandAndSelectCard(window.tree->FindCategoryItem(dialog.categoryName), added->GetListIndex());
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
    for (std::size_t i = 0; i < labels.size(); ++i) dialog.labels[i] = CardTextToQString(labels[i]);
    dialog.name = CardTextToQString(card->GetFieldText1());
    dialog.secondField = CardTextToQString(card->GetFieldText2());
    dialog.thirdField = CardTextToQString(card->GetFieldText3());
    dialog.password = CardTextToQString(card->GetFieldText4());
    dialog.note = NoteToQString(card->GetNote());
    dialog.automaticAccess = card->GetAutomaticAccess();
    dialog.newBrowserWindow = card->GetNewBrowserWindow();
    dialog.editMode = 1;
    dialog.hidePassword = 1;
    dialog.browserAttributesEnabled = BrowserAttributesFor(category) ? 1 : 0;
    const int index = window.tree->GetCurrentCardIndex();
    if (dialog.DoModal() == QDialog::Accepted) {
        if (std::optional<DialogTexts> texts = TextsOf(dialog)) {
            card->SetFieldText1(texts->name);
            card->SetFieldText2(texts->second);
            card->SetFieldText3(texts->third);
            card->SetFieldText4(texts->password);
            card->SetNote(texts->note);
            if (const int newCode = CategoryCodeOf(dialog.categoryName); newCode >= 0) card->SetCategoryCode(static_cast<std::uint8_t>(newCode));
            card->SetAutomaticAccess(dialog.automaticAccess);
            card->SetNewBrowserWindow(dialog.newBrowserWindow);
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
    auto* dialog = new CFindCardDlg(this);
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
        clipboardCard = card ? std::make_unique<CCard>(*card) : nullptr;
    } else if (window.list && window.activeView == window.list) {
        PlaceClickedRowOnClipboard(*window.list);
    } else {
        return;
    }
    clipboardFull = 1;
}

void CMainFrame::OnEditCut() {
    CardWindow window = FindCardWindow(*this, false);
    if (window && window.activeView == window.tree) {
        const QString category = window.tree->GetSelectedCategoryName();
        const int index = window.tree->GetCurrentCardIndex();
        // Only a selected card leaves its list; with a category selected there is nothing to cut.
        if (window.tree->GetCurrentCard()) {
            clipboardCard = RemoveCardAt(*window.doc, category, index);
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
    clipboardFull = 1;
    clipboardCut = 1;
}

void CMainFrame::OnEditPaste() {
    CardWindow window = FindCardWindow(*this, false);
    if (!window) return;
    if (window.activeView == window.tree) {
        const QString category = window.tree->GetSelectedCategoryName();
        const int code = CategoryCodeOf(category);
        if (clipboardCard && code >= 0) {
            auto card = std::make_unique<CCard>();
            std::string name(clipboardCard->GetFieldText1());
            card->SetFieldText1(clipboardCut == 1 ? name : "Copy of " + name);
            card->SetFieldText2(clipboardCard->GetFieldText2());
            card->SetFieldText3(clipboardCard->GetFieldText3());
            card->SetFieldText4(clipboardCard->GetFieldText4());
            card->SetNote(clipboardCard->GetNote());
            card->SetCategoryCode(static_cast<std::uint8_t>(code));
            card->Stamp(CurrentCardTimeStamp(), DateFormatSetting());
            CCard* added = card.get();
            AddCardToCategory(*window.doc, code, std::move(card));
            window.doc->SetModifiedFlag();
            UpdateViewsAfterAdd(*window.doc, code);
            window.tree->ExpandAndSelectCard(window.tree->FindCategoryItem(category), added->GetListIndex());
            window.tree->setFocus();
        }
        clipboardFull = 0;
        clipboardCut = 0;
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

}  // namespace tessarel
