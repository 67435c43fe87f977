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
    return TypedTextToBytes(dialog.password);
}

std::optional<std::string> TypedTextToBytes(const QString& text) {
    char32_t bad = 0;
    // The text is usually a password: the UTF-8 copy made on the way is wiped, not just freed.
    std::string utf8 = text.toStdString();
    std::optional<std::string> bytes = Utf8ToWin1252(utf8, &bad);
    WipeString(utf8);
    if (!bytes) {
        QString shown = QString::fromUcs4(&bad, 1);
        Dialogs().ShowMessage(Message{QStringLiteral("The character \"%1\" cannot be used here.").arg(shown).toStdString(), {},
                                      MessageButtons::Ok, MessageIcon::Warning, MessageOwner::MainWindow});
    }
    return bytes;
}

}  // namespace tessarel
