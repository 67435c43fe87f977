#pragma once
// Card texts at the Qt boundary: card bytes are Windows-1252, notes break lines with CR LF. Text
// going back into a card passes the one conversion of GuiUserInterface (TypedTextToBytes), which
// refuses a character the set cannot hold with a message.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/SecureBuffer.h"

namespace tessarel {

QString CardTextToQString(std::string_view bytes);
// A note for an edit control: CR LF becomes a line feed.
QString NoteToQString(std::string_view bytes);

// Typed text as card bytes; nullopt (after the message) when a character cannot be stored.
std::optional<SecureString> CardTextFromQString(const QString& text);
// A typed note: every line break is stored as CR LF.
std::optional<SecureString> NoteFromQString(const QString& text);

}  // namespace tessarel
