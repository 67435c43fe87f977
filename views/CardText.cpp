#include "CardText.h"

#include "core/Win1252.h"
#include "mainframe/GuiUserInterface.h"

namespace tessarel {

QString CardTextToQString(std::string_view bytes) { return QString::fromStdString(Win1252ToUtf8(bytes)); }

QString NoteToQString(std::string_view bytes) {
    QString text = CardTextToQString(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<std::string> CardTextFromQString(const QString& text) { return TypedTextToBytes(text); }

std::optional<std::string> NoteFromQString(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return TypedTextToBytes(lines);
}

}  // namespace tessarel
