#pragma once
// The one way the core reaches the person using it. The GUI shows real dialogs, the command-line
// tool prints to standard error and reads the terminal, and the tests script the answers, so the
// exact text of every message can be asserted.

#include <optional>
#include <string>

namespace tessarel {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Who owns a message box decides the default caption the platform shows: an owner-less box shows
// the system's default title, an owned box the program's title unless a caption is given.
enum class MessageOwner { None, MainWindow };

struct Message {
    std::string text;     // Windows-1252 bytes, as the program's own texts are
    std::string caption;  // empty: the default title for the owner
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageOwner owner = MessageOwner::None;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    virtual MessageAnswer ShowMessage(const Message& message) = 0;

    // Asks for a password under the given window title. nullopt means the person cancelled.
    virtual std::optional<std::string> AskPassword(const std::string& title) = 0;

    // Shorthand for the common owner-less OK box.
    void Tell(const std::string& text) { ShowMessage(Message{text, {}, MessageButtons::Ok, MessageIcon::None, MessageOwner::None}); }
};

}  // namespace tessarel
