#pragma once
// The card store's user interface in the program: messages go through the dialog seam, the
// password prompt is the Decryption Password dialog.

#include <QString>
#include <QWidget>
#include <optional>

#include "core/SecureBuffer.h"
#include "core/UserInterface.h"

namespace tessarel {

class GuiUserInterface : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message& message) override;
    std::optional<std::string> AskPassword(const std::string& title) override;
};

// Converts typed text to the program's 8-bit set; shows a message and returns nullopt when a
// character has no place in it.
std::optional<SecureString> TypedTextToBytes(const QString& text);

// For a dialog's OK: true when the field's text can be stored in a card. Otherwise the message
// of TypedTextToBytes is shown and the focus goes back to the field, whose text stays as typed.
bool FieldHoldsCardText(const QString& text, QWidget& field);

}  // namespace tessarel
