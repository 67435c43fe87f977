// The card document: open plain, encrypted and empty files; save with the right filter; Encrypt
// On Save and the switch between the two file types.
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QFileInfo>

#include "AppFixture.h"
#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "mainframe/CMainFrame.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using Texts = std::vector<std::string>;

class CardDocumentTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    CTessarelDoc* Open(const QString& name) {
        return static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path(name)));
    }
};

TEST_F(CardDocumentTest, OpensAPlainFile) {
    MakeCardFile(Path("cards.qdf"), 3);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetCategoryList(1)->GetCount(), 3);
    EXPECT_EQ(document->GetEncryptionMode(), 0);
    EXPECT_EQ(document->GetDocTemplate(), app->PlainCardTemplate());
    EXPECT_FALSE(document->IsModified());
    Settle();
    EXPECT_EQ(frame->CurrentMenu(), res::MenuPlainCard);
    EXPECT_EQ(frame->windowTitle(), "Tessarel - [cards.qdf]");
}

TEST_F(CardDocumentTest, OpensAnEncryptedFileWithTheRightPassword) {
    MakeCardFile(Path("safe.qde"), 2, 0, "longpassword");
    TypePassword("longpassword");
    CTessarelDoc* document = Open("safe.qde");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetEncryptionMode(), 1);
    EXPECT_EQ(std::string(document->GetEncryptionPassword()), "longpassword");
    EXPECT_EQ(document->GetDocTemplate(), app->EncryptedCardTemplate());
    ASSERT_FALSE(dialogs->Events().empty());
    EXPECT_EQ(dialogs->Events()[0].dialogTitle, "Decryption Password for file: safe.qde");
    Settle();
    EXPECT_EQ(frame->CurrentMenu(), res::MenuEncryptedCard);
}

TEST_F(CardDocumentTest, RefusedPasswordsOpenNothing) {
    MakeCardFile(Path("safe.qde"), 2, 0, "longpassword");
    struct Case {
        std::optional<QString> typed;
        Texts messages;
    };
    for (const Case& c : {Case{"wrong", {"Password not correct, please try again.", "Failed to open document."}},
                          Case{"", {"You must enter a password!", "Password not correct, please try again.", "Failed to open document."}},
                          Case{std::nullopt, {"Failed to open document."}}}) {
        dialogs.reset();
        dialogs = std::make_unique<ScriptedDialogHost>();
        if (c.typed)
            TypePassword(*c.typed);
        else
            dialogs->RunDialog([](Dialog&) { return int(QDialog::Rejected); });
        EXPECT_EQ(Open("safe.qde"), nullptr);
        Settle();
        EXPECT_TRUE(app->GetDocManager().GetDocuments().empty());
        Texts shown = Messages();
        // The cancelled prompt may add the reader's own words before the framework's.
        if (!c.typed) shown.erase(shown.begin(), shown.end() - 1);
        EXPECT_EQ(shown, c.messages) << (c.typed ? c.typed->toStdString() : "<cancelled>");
    }
}

TEST_F(CardDocumentTest, AnEmptyFileOpensWithoutCards) {
    QFile(Path("empty.qdf")).open(QIODevice::WriteOnly);
    CTessarelDoc* document = Open("empty.qdf");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(Messages(), Texts({"Empty File !"}));
    EXPECT_FALSE(document->HasCards());
}

TEST_F(CardDocumentTest, SaveAsOffersTheFilterOfTheDocumentsTemplate) {
    MakeCardFile(Path("cards.qdf"), 1);
    MakeCardFile(Path("safe.qde"), 1, 0, "longpassword");
    ASSERT_NE(Open("cards.qdf"), nullptr);
    dialogs->CancelFile();
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSaveAs));
    TypePassword("longpassword");
    ASSERT_NE(Open("safe.qde"), nullptr);
    dialogs->CancelFile();
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSaveAs));
    std::vector<QStringList> filters;
    for (const auto& event : dialogs->Events())
        if (event.kind == ScriptedDialogHost::Kind::SaveFile) filters.push_back(event.request.filters);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].front(), "Not Encrypted Quendal. File (*.qdf)");
    EXPECT_EQ(filters[1].front(), "Encrypted Quendal. File (*.qde)");
}

TEST_F(CardDocumentTest, EncryptOnSaveTurnsAPlainFileIntoAnEncryptedOne) {
    MakeCardFile(Path("cards.qdf"), 2);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);
    FillEncryptOnSave(true, "12345678", "12345678");
    EXPECT_TRUE(app->ExecuteCommand(res::EncryptOnSave));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(document->GetEncryptionMode(), 1);
    EXPECT_EQ(document->GetDocTemplate(), app->EncryptedCardTemplate());
    EXPECT_EQ(document->GetPathName(), QFileInfo(Path("cards.qde")).absoluteFilePath());
    EXPECT_TRUE(document->IsModified());
    Settle();
    EXPECT_EQ(frame->CurrentMenu(), res::MenuEncryptedCard);
    EXPECT_EQ(qobject_cast<QLabel*>(frame->GetStatusBarItem(res::ControlSaveStatusText))->text(), "(Encrypted)");
    EXPECT_EQ(frame->GetChildren().size(), 1u) << "the old window is gone";

    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    EXPECT_TRUE(QFile::exists(Path("cards.qde")));
    EXPECT_FALSE(QFile::exists(Path("cards.qdf")));
    app->GetDocManager().CloseAllDocuments();
    Settle();
    TypePassword("12345678");
    CTessarelDoc* reopened = Open("cards.qde");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->GetCategoryList(1)->GetCount(), 2);
}

TEST_F(CardDocumentTest, AFailedSaveKeepsTheOldFile) {
    MakeCardFile(Path("cards.qdf"), 2);
    CTessarelDoc* document = Open("cards.qdf");
    FillEncryptOnSave(true, "12345678", "12345678");
    app->ExecuteCommand(res::EncryptOnSave);
    // A folder where the new file should go makes the write fail.
    QDir().mkdir(Path("cards.qde"));
    EXPECT_FALSE(document->DoFileSave());
    EXPECT_TRUE(QFile::exists(Path("cards.qdf"))) << "the only copy is never removed before the new one is in place";
    EXPECT_EQ(document->OldPlainPath(), QFileInfo(Path("cards.qdf")).absoluteFilePath());
}

TEST_F(CardDocumentTest, PasswordRulesOfEncryptOnSave) {
    MakeCardFile(Path("cards.qdf"), 1);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);

    // Too short when first turning encryption on: refused, and nothing changes (the file is not
    // left to be saved encrypted without a password).
    FillEncryptOnSave(true, "1234567", "1234567");
    app->ExecuteCommand(res::EncryptOnSave);
    EXPECT_EQ(Messages(), Texts({"Password to short, please use more characters!"}));
    EXPECT_EQ(document->GetEncryptionMode(), 0);
    EXPECT_EQ(std::string(document->GetEncryptionPassword()), "");
    EXPECT_EQ(document->GetDocTemplate(), app->PlainCardTemplate());
    EXPECT_FALSE(document->IsModified());
    EXPECT_TRUE(document->DoFileSave()) << "the file still saves, plain";

    FillEncryptOnSave(true, "abcdefgh", "abcdefgh");
    app->ExecuteCommand(res::EncryptOnSave);
    ASSERT_EQ(document->GetDocTemplate(), app->EncryptedCardTemplate());

    // Too short while encrypted: the former password stays in force.
    FillEncryptOnSave(true, "short", "short");
    app->ExecuteCommand(res::EncryptOnSave);
    EXPECT_EQ(Messages().back(), "Password to short, please use more characters!");
    EXPECT_EQ(document->GetEncryptionMode(), 1);
    EXPECT_EQ(std::string(document->GetEncryptionPassword()), "abcdefgh");

    // A mismatch changes nothing: mode, password and type stay.
    FillEncryptOnSave(true, "abcdefgh", "abcdefgX");
    app->ExecuteCommand(res::EncryptOnSave);
    EXPECT_EQ(Messages().back(), "Password not correct, try again!");
    EXPECT_EQ(dialogs->Events().back().message.caption, "Tessarel");
    EXPECT_EQ(document->GetEncryptionMode(), 1);
    EXPECT_EQ(std::string(document->GetEncryptionPassword()), "abcdefgh");
    EXPECT_EQ(document->GetDocTemplate(), app->EncryptedCardTemplate());

    // Off keeps the password in memory; on again shows it in the dialog.
    FillEncryptOnSave(false, "", "");
    app->ExecuteCommand(res::EncryptOnSave);
    EXPECT_EQ(document->GetEncryptionMode(), 0);
    EXPECT_EQ(std::string(document->GetEncryptionPassword()), "abcdefgh");
    EXPECT_EQ(document->GetDocTemplate(), app->PlainCardTemplate());
    EXPECT_EQ(document->GetPathName(), QFileInfo(Path("cards.qdf")).absoluteFilePath());
    document->Data().encryptionMode = 1;  // as after turning it on again
    QString shown;
    FillEncryptOnSave(true, "abcdefgh", "abcdefgh", &shown);
    app->ExecuteCommand(res::EncryptOnSave);
    EXPECT_EQ(shown, "abcdefgh");
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(CardDocumentTest, ANeverSavedDocumentAsksForAPathWithTheNewFilter) {
    ASSERT_TRUE(app->ExecuteCommand(cmd::FileNew));
    CTessarelDoc* document = ActiveDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetTitle(), "Untitled1");
    auto card = std::make_unique<CCard>();
    card->SetCategoryCode(2);
    document->Data().PlaceCard(std::move(card));
    FillEncryptOnSave(true, "abcdefgh", "abcdefgh");
    app->ExecuteCommand(res::EncryptOnSave);
    EXPECT_TRUE(document->GetPathName().isEmpty());
    dialogs->AnswerFile(Path("new"));
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    EXPECT_EQ(dialogs->Events().back().request.filters.front(), "Encrypted Quendal. File (*.qde)");
    EXPECT_TRUE(QFile::exists(Path("new.qde")));
}

}  // namespace
}  // namespace tessarel::test
