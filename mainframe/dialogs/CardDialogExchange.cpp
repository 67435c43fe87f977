#include "CardDialogExchange.h"

#include "CCardDlg.h"
#include "CardText.h"
#include "cardstore/CCard.h"

namespace tessarel {

void SetCardDialogLabels(CCardDlg& dialog, const std::array<std::string, 4>& labels) {
    for (std::size_t i = 0; i < labels.size(); ++i) dialog.labels[i] = CardTextToQString(labels[i]);
}

void LoadCardIntoDialog(CCardDlg& dialog, const CCard& card) {
    dialog.name = CardTextToQString(card.GetFieldText1());
    dialog.secondField = CardTextToQString(card.GetFieldText2());
    dialog.thirdField = CardTextToQString(card.GetFieldText3());
    dialog.password = CardTextToQString(card.GetFieldText4());
    dialog.note = NoteToQString(card.GetNote());
    dialog.automaticAccess = card.GetAutomaticAccess();
    dialog.newBrowserWindow = card.GetNewBrowserWindow();
    dialog.editMode = 1;
    dialog.hidePassword = 1;
}

std::optional<CardDialogTexts> CardDialogTextsOf(const CCardDlg& dialog) {
    // Each conversion shows its own message: stop at the first text that cannot be stored.
    auto name = CardTextFromQString(dialog.name);
    auto second = name ? CardTextFromQString(dialog.secondField) : std::nullopt;
    auto third = second ? CardTextFromQString(dialog.thirdField) : std::nullopt;
    auto password = third ? CardTextFromQString(dialog.password) : std::nullopt;
    auto note = password ? NoteFromQString(dialog.note) : std::nullopt;
    if (!note) return std::nullopt;
    return CardDialogTexts{std::move(*name), std::move(*second), std::move(*third), std::move(*password), std::move(*note)};
}

void StoreDialogInCard(const CardDialogTexts& texts, const CCardDlg& dialog, CCard& card) {
    card.SetFieldText1(texts.name);
    card.SetFieldText2(texts.second);
    card.SetFieldText3(texts.third);
    card.SetFieldText4(texts.password);
    card.SetNote(texts.note);
    card.SetAutomaticAccess(dialog.automaticAccess);
    card.SetNewBrowserWindow(dialog.newBrowserWindow);
}

}  // namespace tessarel
