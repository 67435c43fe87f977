#pragma once
// The user interface the fuzz targets read through: every message is accepted with its default
// button, and the first few password prompts get the fixed password the seed files were written
// with. After that the prompt is cancelled, so a reader that keeps asking cannot loop forever.

#include <optional>
#include <string>

#include "core/UserInterface.h"

namespace tessarel::fuzz {

inline constexpr const char* kFuzzPassword = "fuzzpassword";

class FuzzUserInterface : public UserInterface {
public:
    MessageAnswer ShowMessage(const Message& message) override {
        switch (message.buttons) {
            case MessageButtons::Ok:
            case MessageButtons::OkCancel: return MessageAnswer::Ok;
            case MessageButtons::YesNo:
            case MessageButtons::YesNoCancel: return MessageAnswer::Yes;
        }
        return MessageAnswer::Ok;
    }

    std::optional<std::string> AskPassword(const std::string&) override {
        if (prompts >= kMaxPrompts) return std::nullopt;
        ++prompts;
        return std::string(kFuzzPassword);
    }

private:
    static constexpr int kMaxPrompts = 3;
    int prompts = 0;
};

}  // namespace tessarel::fuzz
