#pragma once
// Every copy of a password the program makes goes through here (Copy Password, the field list's
// password row, the card dialog's password edit when it shows the password): onto the system
// clipboard marked secret for clipboard managers, and taken off again after the "Clear Clipboard
// Seconds" setting's delay and when the program ends (framework/SecretClipboard).

#include <string_view>

class QLineEdit;
class QStatusBar;

namespace tessarel {

// A password's card bytes (Windows-1252; line breaks as in a note); false when the clipboard did
// not take it.
bool CopyPasswordToClipboard(std::string_view cardBytes);

// Shows the clipboard's lines (when it will be cleared, that it was) on `bar`.
void ShowClipboardStatusIn(QStatusBar* bar);

// Copy and Cut of `edit`'s selection (keys and context menu) put it on the clipboard marked
// secret, as Copy Password does. While the edit masks its text Qt copies nothing anyway.
void GuardPasswordEditCopy(QLineEdit* edit);

}  // namespace tessarel
