#pragma once
// A user-interface seam for tests: records every message the code shows and answers password
// prompts and questions from a script the test sets up.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/UserInterface.h"

namespace tessarel::testing {

class ScriptedUserInterface : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message& message) override {
        messages.push_back(message.text);
        shown.push_back(message);
        if (answers.empty()) return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<std::string> AskPassword(const std::string& title) override {
        titles.push_back(title);
        if (passwords.empty()) return std::nullopt;  // an unscripted prompt is a cancel
        auto next = passwords.front();
        passwords.pop_front();
        return next;
    }

    // Queues the next password prompt's answer; nullopt cancels it.
    ScriptedUserInterface& Password(std::optional<std::string> answer) {
        passwords.push_back(std::move(answer));
        return *this;
    }
    ScriptedUserInterface& Answer(MessageAnswer answer) {
        answers.push_back(answer);
        return *this;
    }

    std::vector<std::string> messages;
    std::vector<Message> shown;
    std::vector<std::string> titles;

private:
    std::deque<std::optional<std::string>> passwords;
    std::deque<MessageAnswer> answers;
};

}  // namespace tessarel::testing
