#pragma once
// The one exchange between a card and the card dialog. Every path that opens the dialog on a card
// (the Edit Card command, a double click in the field list) loads it here, and every path that
// takes texts back (those two, New Card, Get Web Page) reads them here, so a field added to the
// card or the dialog is carried the same way everywhere. What differs between the paths stays
// with them: which category the card lands in, and whether it counts as edited.

#include <array>
#include <optional>
#include <string>

#include "core/SecureBuffer.h"

namespace tessarel {

class CCard;
class CCardDlg;

// The dialog's five texts as card bytes.
struct CardDialogTexts {
    SecureString name, second, third, password, note;
};

// The category's four field labels (card bytes) into the dialog.
void SetCardDialogLabels(CCardDlg& dialog, const std::array<std::string, 4>& labels);

// The card's five texts and two browser options into the dialog, which opens to edit with the
// password hidden.
void LoadCardIntoDialog(CCardDlg& dialog, const CCard& card);

// The dialog's five texts as card bytes, converted in the order of the dialog's fields; nullopt
// (after the message of the first text a card cannot store) when one does not fit.
std::optional<CardDialogTexts> CardDialogTextsOf(const CCardDlg& dialog);

// The texts and the dialog's two browser options into `card`.
void StoreDialogInCard(const CardDialogTexts& texts, const CCardDlg& dialog, CCard& card);

}  // namespace tessarel
