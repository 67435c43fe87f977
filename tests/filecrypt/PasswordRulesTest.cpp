// The rules of SetFilePassword and ClearFilePassword, driven through a scripted password source as
// the dialog or the terminal would drive them.

#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "FileCryptFixture.h"
#include "filecrypt/ExpectedMessages.h"
#include "filecrypt/FilePasswordSource.h"

namespace tessarel::testing {
namespace {

namespace msg = expected_messages;

class ScriptedPasswordSource : public CFilePasswordSource {
public:
    std::optional<FilePasswordEntries> AskFilePassword(const SecureString& initial) override {
        shownWith.emplace_back(initial.begin(), initial.end());
        if (script.empty()) return std::nullopt;
        auto next = script.front();
        script.pop_front();
        if (!next) return std::nullopt;
        return FilePasswordEntries{SecureString(next->first.begin(), next->first.end()),
                                   SecureString(next->second.begin(), next->second.end())};
    }
    ScriptedPasswordSource& Enter(const std::string& first, const std::string& second) {
        script.push_back(std::make_pair(first, second));
        return *this;
    }
    ScriptedPasswordSource& Cancel() {
        script.push_back(std::nullopt);
        return *this;
    }

    std::deque<std::optional<std::pair<std::string, std::string>>> script;
    std::vector<std::string> shownWith;
};

class PasswordRules : public FileCryptFixture {
protected:
    void SetUp() override {}  // no password to begin with
    std::string Current() const { return {state.filePassword.begin(), state.filePassword.end()}; }
    ScriptedPasswordSource source;
};

TEST_F(PasswordRules, EntriesAreCheckedUntilTheyPassOrTheUserCancels) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;  // then Cancel
        std::vector<std::string> messages;
        std::string password;  // empty: none set
    };
    const Case cases[] = {
        {"eight characters are taken", {{"abcdefgh", "abcdefgh"}}, {}, "abcdefgh"},
        {"seven are refused", {{"abcdefg", "abcdefg"}}, {std::string(msg::kPasswordTooShort)}, ""},
        {"empty entries are too short", {{"", ""}}, {std::string(msg::kPasswordTooShort)}, ""},
        {"entries must match exactly", {{"abcdefgh", "abcdefgH"}}, {std::string(msg::kPasswordMismatch)}, ""},
        {"a mismatch asks again", {{"abcdefgh", "abcdefgx"}, {"abcdefgh", "abcdefgh"}}, {std::string(msg::kPasswordMismatch)}, "abcdefgh"},
        {"too short asks again", {{"short", "short"}, {"long enough", "long enough"}}, {std::string(msg::kPasswordTooShort)}, "long enough"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.Reset();
        ui.messages.clear();
        source.script.clear();
        for (const auto& [first, second] : c.entries) source.Enter(first, second);
        source.Cancel();
        Operations().SetFilePassword(source);
        EXPECT_EQ(ui.messages, c.messages);
        EXPECT_EQ(Current(), c.password);
        EXPECT_EQ(state.filePasswordSet, !c.password.empty());
    }
    for (const auto& shown : ui.shown) EXPECT_EQ(shown.owner, MessageOwner::MainWindow);
}

TEST_F(PasswordRules, CancelChangesNothing) {
    UsePassword("original password");
    source.Cancel();
    Operations().SetFilePassword(source);
    EXPECT_EQ(Current(), "original password");
    EXPECT_TRUE(state.filePasswordSet);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PasswordRules, TheDialogShowsTheCurrentPasswordWhenOneIsSet) {
    source.Enter("first password", "first password").Enter("first password", "first password");
    Operations().SetFilePassword(source);
    Operations().SetFilePassword(source);
    EXPECT_EQ(source.shownWith, (std::vector<std::string>{"", "first password"}));
    EXPECT_TRUE(ui.messages.empty());  // the same password again asks nothing
}

TEST_F(PasswordRules, ChangingASetPasswordAsksFirst) {
    for (const auto answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        UsePassword("old password");
        ui.messages.clear();
        ui.shown.clear();
        ui.Answer(answer);
        source.Enter("new password", "new password");
        Operations().SetFilePassword(source);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, msg::kChangePassword);
        EXPECT_EQ(ui.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(Current(), answer == MessageAnswer::Yes ? "new password" : "old password");
        EXPECT_TRUE(state.filePasswordSet);
    }
}

TEST_F(PasswordRules, ClearForgetsThePassword) {
    UsePassword("some password");
    EXPECT_TRUE(state.CanClearPassword());
    Operations().ClearFilePassword();
    EXPECT_EQ(Current(), "");
    EXPECT_FALSE(state.filePasswordSet);
    EXPECT_FALSE(state.CanClearPassword());
    // Without a password the operations do nothing at all.
    const std::string path = MakeFile("plain.txt", RandomBytes(16, 3));
    EXPECT_EQ(Encrypt(path), CFileEncryptionOperations::Result::Failed);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(dir.File("plain.~~~")));
}

}  // namespace
}  // namespace tessarel::testing
