#include "GuiUserInterface.h"

#include "CDecryptPasswordDlg.h"
#include "core/SecureBuffer.h"
#include "core/Win1252.h"
#include "framework/DialogHost.h"

namespace tessarel {

MessageAnswer GuiUserInterface::ShowMessage(const Message& message) { return Dialogs().ShowMessage(message); }

std::optional<std::string> GuiUserInterface::AskPassword(const std::string& title) {
    CDecryptPasswordDlg dialog;
    dialog.title = QString::fromStdString(Win1252ToUtf8(title));
    if (dialog.DoModal() != QDialog::Accepted) return std::nullopt;
    std::optional<SecureString> typed = TypedTextToBytes(dialog.password);
    if (!typed) return std::nullopt;
    // The reader wipes this copy once it holds the password.
    return std::string(*typed);
}

std::optional<SecureString> TypedTextToBytes(const QString& text) {
    char32_t bad = 0;
    // The text is a password or a card text: the copies made on the way are wiped, not just freed.
    std::string utf8 = text.toStdString();
    std::optional<std::string> bytes = Utf8ToWin1252(utf8, &bad);
    WipeString(utf8);
    if (bytes) {
        SecureString result(bytes->data(), bytes->size());
        WipeString(*bytes);
        return result;
    }
    {
        QString shown = QString::fromUcs4(&bad, 1);
        Dialogs().ShowMessage(Message{QStringLiteral("The character \"%1\" cannot be used here.").arg(shown).toStdString(), {},
                                      MessageButtons::Ok, MessageIcon::Warning, MessageOwner::MainWindow});
    }
    return std::nullopt;
}

bool FieldHoldsCardText(const QString& text, QWidget& field) {
    std::optional<SecureString> bytes = TypedTextToBytes(text);
    if (bytes) return true;  // the converted copy is wiped as it goes
    field.setFocus(Qt::OtherFocusReason);
    return false;
}

}  // namespace tessarel
