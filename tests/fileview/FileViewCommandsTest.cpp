// The file password and the Encrypt and Decrypt commands, used from the view.
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>

#include "FileViewFixture.h"
#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "mainframe/CFilePasswordDlg.h"
#include "mainframe/dialogs/RevealButton.h"
#include "../support/RecordedPopups.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class FileViewCommandsTest : public FileViewFixture {};

TEST_F(FileViewCommandsTest, EncryptThenDecryptRestoresTheFileAndRelistsIt) {
    const QByteArray content = "eleven bytes of text and then some more, not a multiple of eight";
    WriteFile(Path("notes.txt"), content);
    CChildFrmFileView* view = EnterView(true);
    ASSERT_NE(view, nullptr);
    Browse(view);
    Choose(view, "notes.txt");
    ASSERT_TRUE(Enabled(res::EncryptFileButton));
    app->ExecuteCommand(res::EncryptFileButton);
    EXPECT_FALSE(QFile::exists(Path("notes.txt")));
    EXPECT_EQ(ReadFile(Path("notes.~~~")).size(), content.size() + 52);
    ASSERT_NE(Row(view, "notes.~~~"), nullptr) << "the list was refreshed";
    EXPECT_EQ(Row(view, "notes.~~~")->text(2), "Encrypted File");
    EXPECT_EQ(Row(view, "notes.txt"), nullptr);
    EXPECT_TRUE(Row(view, "notes.~~~")->isSelected()) << "the new file stays chosen";
    EXPECT_FALSE(Enabled(res::EncryptFileMenu));
    EXPECT_TRUE(Enabled(res::DecryptFileMenu));

    app->ExecuteCommand(res::DecryptFileMenu);
    EXPECT_EQ(ReadFile(Path("notes.txt")), content);
    EXPECT_FALSE(QFile::exists(Path("notes.~~~")));
    ASSERT_NE(Row(view, "notes.txt"), nullptr);
    EXPECT_EQ(Row(view, "notes.~~~"), nullptr);
    EXPECT_TRUE(Messages().size() == 1) << "only the password question";
}

TEST_F(FileViewCommandsTest, DecryptingUnderAnotherPasswordChangesNothing) {
    WriteFile(Path("notes.txt"), QByteArray(16, 'n'));
    CChildFrmFileView* view = EnterView(true);
    Browse(view);
    Choose(view, "notes.txt");
    app->ExecuteCommand(res::EncryptFileMenu);
    const QByteArray encrypted = ReadFile(Path("notes.~~~"));
    TypeFilePassword("another password", "another password");
    dialogs->AnswerMessage(MessageAnswer::Yes);  // "Change File Encryption Password?"
    app->ExecuteCommand(res::SetPasswordMenu);
    Choose(view, "notes.~~~");
    app->ExecuteCommand(res::DecryptFileButton);
    EXPECT_EQ(Messages().back(), "Password not correct,try again!");
    EXPECT_EQ(ReadFile(Path("notes.~~~")), encrypted);
    EXPECT_FALSE(QFile::exists(Path("notes.txt")));
}

TEST_F(FileViewCommandsTest, PasswordDialogRulesAndTheButtonImage) {
    CChildFrmFileView* view = EnterView(false);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(frame->PasswordImageShown());
    EXPECT_FALSE(Enabled(res::ClearPasswordMenu));
    dialogs = std::make_unique<ScriptedDialogHost>();
    TypeFilePassword("password1", "Password1");
    TypeFilePassword("seven77", "seven77");
    TypeFilePassword("eight888", "eight888");
    app->ExecuteCommand(res::SetPasswordButton);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Password not correct, please try again!",
                                                    "Password to short, please use more characters!"}));
    ASSERT_EQ(dialogs->Events().front().dialogTitle, "Set File Encryption Password");
    EXPECT_EQ(std::string(frame->FileEncryption().filePassword), "eight888");
    EXPECT_TRUE(frame->PasswordImageShown());
    EXPECT_TRUE(Enabled(res::ClearPasswordButton));

    // The dialog opens with the password in use; No to the change keeps it.
    QString shown;
    dialogs->RunDialog([&shown](Dialog& dialog) {
        shown = dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kFirstEdit))->text();
        dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kFirstEdit))->setText("different1");
        dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kSecondEdit))->setText("different1");
        return int(QDialog::Accepted);
    });
    dialogs->AnswerMessage(MessageAnswer::No);
    app->ExecuteCommand(res::SetPasswordMenu);
    EXPECT_EQ(shown, "eight888");
    EXPECT_EQ(Messages().back(), "Change File Encryption Password?");
    EXPECT_EQ(std::string(frame->FileEncryption().filePassword), "eight888");

    app->ExecuteCommand(res::ClearPasswordMenu);
    EXPECT_TRUE(frame->FileEncryption().filePassword.empty());
    EXPECT_FALSE(frame->PasswordImageShown());
    EXPECT_FALSE(Enabled(res::ClearPasswordMenu));
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(FileViewCommandsTest, RevealShowsTheTypedTextAndClearPasswordEmptiesTheEditsOnly) {
    CChildFrmFileView* view = EnterView(true);
    ASSERT_NE(view, nullptr);
    QString afterClear = "not cleared";
    RecordedPopups recorded;
    dialogs->RunDialog([&afterClear, &recorded](Dialog& dialog) {
        // The reveal button shows what the first edit holds now, typed but not confirmed.
        dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kFirstEdit))->setText("typed not kept");
        auto* reveal = dialog.findChild<RevealButton*>(QString::number(CFilePasswordDlg::kRevealButton));
        reveal->click();
        // One disabled item, at the button's bottom-right corner moved 5 pixels right.
        EXPECT_EQ(recorded.popups.size(), 1u);
        if (!recorded.popups.empty()) {
            EXPECT_EQ(recorded.popups[0].items, (std::vector<RecordedPopups::Item>{{"typed not kept", false}}));
            EXPECT_EQ(recorded.popups[0].at, reveal->mapToGlobal(QPoint(reveal->width() + 5, reveal->height())));
            EXPECT_EQ(recorded.popups[0].parent, reveal);
        }
        dialog.findChild<QPushButton*>(QString::number(CFilePasswordDlg::kClearButton))->click();
        afterClear = dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kFirstEdit))->text() +
                     dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kSecondEdit))->text();
        return int(QDialog::Rejected);
    });
    app->ExecuteCommand(res::SetPasswordMenu);
    EXPECT_EQ(recorded.popups.size(), 1u);
    EXPECT_EQ(afterClear, "");
    EXPECT_EQ(std::string(frame->FileEncryption().filePassword), kPassword);
}

}  // namespace
}  // namespace tessarel::test
