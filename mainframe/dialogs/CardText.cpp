#include "CardText.h"

#include "core/Win1252.h"
#include "mainframe/dialogs/GuiUserInterface.h"

namespace tessarel {

QString CardTextToQString(std::string_view bytes) {
    // Card texts include passwords: the UTF-8 copy on the way is wiped.
    std::string utf8 = Win1252ToUtf8(bytes);
    QString text = QString::fromStdString(utf8);
    WipeString(utf8);
    return text;
}

QString NoteToQString(std::string_view bytes) {
    QString text = CardTextToQString(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<SecureString> CardTextFromQString(const QString& text) { return TypedTextToBytes(text); }

std::optional<SecureString> NoteFromQString(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    std::optional<SecureString> bytes = TypedTextToBytes(lines);
    lines.fill(QChar(0));
    return bytes;
}

}  // namespace tessarel
