// Strong encryption in the program: the Encrypt On Save dialog's check box, the type switch to and
// from the sealed ".qdx" type (its template, menu, path, status text, and the old file removed
// after the save), opening a sealed file and refusing a wrong password.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QSettings>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include "AppFixture.h"
#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "framework/DocTemplate.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

constexpr char kStrongText[] = "Strong encryption (not readable by older versions)";

class SealedDocumentTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    CTessarelDoc* Open(const QString& name) { return static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path(name))); }

    // Scripts the next Encrypt On Save dialog, with the Strong encryption box set to `strong`.
    // What the dialog showed when it opened lands in `shown`.
    struct Shown {
        bool strongChecked = false;
        bool strongEnabled = false;
        QString strongText;
    };
    // `answer` answers the question the switch asks when a file of the new name exists.
    void Choose(bool encrypt, bool strong, const QString& password, Shown* shown = nullptr,
                std::optional<MessageAnswer> answer = std::nullopt) {
        dialogs->RunDialog([=](Dialog& dialog) {
            auto* box = dialog.findChild<QCheckBox*>(QString::number(res::ControlEncryptFlag));
            auto* strongBox = dialog.findChild<QCheckBox*>(QString::number(res::ControlStrongEncryption));
            if (shown) *shown = {strongBox->isChecked(), strongBox->isEnabled(), strongBox->text()};
            if (box->isChecked() != encrypt) box->click();
            if (strongBox->isEnabled() && strongBox->isChecked() != strong) strongBox->click();
            dialog.findChild<QLineEdit*>(QString::number(res::ControlEncryptPassword))->setText(password);
            dialog.findChild<QLineEdit*>(QString::number(res::ControlEncryptConfirm))->setText(password);
            return int(QDialog::Accepted);
        });
        if (answer) dialogs->AnswerMessage(*answer);
        EXPECT_TRUE(app->ExecuteCommand(res::EncryptOnSave));
        Settle();
    }

    QString StatusText() const { return qobject_cast<QLabel*>(frame->GetStatusBarItem(res::ControlSaveStatusText))->text(); }

    QByteArray Head(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.read(22) : QByteArray();
    }

    // Sealing with the default parameters takes most of a second per save; the switch does not
    // depend on them.
    static void Cheap(CTessarelDoc* document) { document->Data().sealParameters = {1, 8}; }
};

TEST_F(SealedDocumentTest, TheTypeSwitchGoesToAndFromQdx) {
    MakeCardFile(Path("cards.qdf"), 2);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);

    // plain -> sealed
    Shown shown;
    Choose(true, true, "abcdefgh", &shown);
    EXPECT_EQ(shown.strongText, kStrongText);
    EXPECT_FALSE(shown.strongChecked);
    EXPECT_FALSE(shown.strongEnabled) << "only an encrypted file has a type to choose";
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(document->GetDocTemplate(), app->SealedCardTemplate());
    EXPECT_EQ(document->GetPathName(), QFileInfo(Path("cards.qdx")).absoluteFilePath());
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(frame->CurrentMenu(), res::MenuSealedCard);
    EXPECT_EQ(StatusText(), "(Strong Encryption)");
    EXPECT_EQ(frame->GetChildren().size(), 1u);
    Cheap(document);
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    EXPECT_TRUE(Head("cards.qdx").startsWith("QndlSeal\x01"));
    EXPECT_FALSE(QFile::exists(Path("cards.qdf")));

    // sealed -> compatible encrypted: the box cleared, encryption kept
    Choose(true, false, "abcdefgh", &shown);
    EXPECT_TRUE(shown.strongChecked);
    EXPECT_TRUE(shown.strongEnabled);
    EXPECT_EQ(document->GetDocTemplate(), app->EncryptedCardTemplate());
    EXPECT_EQ(document->GetPathName(), QFileInfo(Path("cards.qde")).absoluteFilePath());
    EXPECT_EQ(StatusText(), "(Encrypted)");
    EXPECT_EQ(frame->CurrentMenu(), res::MenuEncryptedCard);
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    const QByteArray head = Head("cards.qde");
    ASSERT_EQ(head.size(), 22);
    EXPECT_EQ(head[12], 1) << "the compatible encrypted layout";
    EXPECT_EQ(head.mid(14, 4), QByteArray("\x6C\x64\x6E\x51", 4));
    EXPECT_FALSE(QFile::exists(Path("cards.qdx")));

    // compatible encrypted -> sealed -> plain
    Choose(true, true, "abcdefgh");
    EXPECT_EQ(document->GetPathName(), QFileInfo(Path("cards.qdx")).absoluteFilePath());
    Cheap(document);
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    EXPECT_FALSE(QFile::exists(Path("cards.qde")));
    Choose(false, false, "");
    EXPECT_EQ(document->GetDocTemplate(), app->PlainCardTemplate());
    EXPECT_EQ(document->GetPathName(), QFileInfo(Path("cards.qdf")).absoluteFilePath());
    EXPECT_EQ(StatusText(), "(Not Encrypted)");
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    EXPECT_EQ(Head("cards.qdf")[12], 0);
    EXPECT_FALSE(QFile::exists(Path("cards.qdx")));
    EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());
}

TEST_F(SealedDocumentTest, ASealedFileOpensInItsOwnTemplateAndRefusesAWrongPassword) {
    MakeCardFile(Path("cards.qdf"), 3);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);
    Choose(true, true, "abcdefgh");
    Cheap(document);
    ASSERT_TRUE(app->ExecuteCommand(cmd::FileSave));
    app->GetDocManager().CloseAllDocuments();
    Settle();

    TypePassword("abcdefgX");
    EXPECT_EQ(Open("cards.qdx"), nullptr);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"The password is wrong or the file is damaged.", "Failed to open document."}));

    TypePassword("abcdefgh");
    CTessarelDoc* reopened = Open("cards.qdx");
    ASSERT_NE(reopened, nullptr);
    Settle();
    EXPECT_EQ(reopened->GetCategoryList(1)->GetCount(), 3);
    EXPECT_EQ(reopened->GetDocTemplate(), app->SealedCardTemplate());
    EXPECT_TRUE(reopened->Data().sealed);
    EXPECT_FALSE(reopened->IsModified());
    EXPECT_EQ(StatusText(), "(Strong Encryption)");
    EXPECT_EQ(reopened->GetDocTemplate()->GetDocString(DocTemplate::FilterName), "Strong Encrypted Quendal. File (*.qdx)");

    // The dialog shows the file's state: encrypted, strong, its password.
    Shown shown;
    Choose(true, true, "abcdefgh", &shown);
    EXPECT_TRUE(shown.strongChecked);
    EXPECT_TRUE(shown.strongEnabled);
}

TEST_F(SealedDocumentTest, AnotherFileOfTheSealedNameIsReplacedOnlyAfterYes) {
    MakeCardFile(Path("cards.qdf"), 1);
    MakeCardFile(Path("cards.qdx"), 4);  // someone else's file under the new name
    const QByteArray other = Head("cards.qdx");
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);
    const std::string question = QStringLiteral("%1 already exists.\nThe next save of this card file will replace it. Do you want to replace it?")
                                     .arg(QDir::toNativeSeparators(Path("cards.qdx")))
                                     .toStdString();
    Choose(true, true, "abcdefgh", nullptr, MessageAnswer::No);
    EXPECT_EQ(Messages(), std::vector<std::string>{question});
    EXPECT_FALSE(document->Data().sealed);
    EXPECT_EQ(document->GetEncryptionMode(), 0);
    EXPECT_EQ(document->GetDocTemplate(), app->PlainCardTemplate());
    EXPECT_EQ(Head("cards.qdx"), other);

    Choose(true, true, "abcdefgh", nullptr, MessageAnswer::Yes);
    EXPECT_EQ(document->GetDocTemplate(), app->SealedCardTemplate());
    Cheap(document);
    ASSERT_TRUE(app->ExecuteCommand(cmd::FileSave));
    EXPECT_TRUE(Head("cards.qdx").startsWith("QndlSeal"));
    EXPECT_FALSE(QFile::exists(Path("cards.qdf")));
}

// Neither the password nor a card text reaches a file unsealed: not the card files of the folder,
// not the settings, not the data folder, not the recent-file list.
TEST_F(SealedDocumentTest, NothingOfTheCardsOrThePasswordIsLeftUnsealed) {
    const QString password = QStringLiteral("Quartz-Zebra-4711");
    MakeCardFile(Path("cards.qdf"), 2);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);
    Choose(true, true, password);
    Cheap(document);
    ASSERT_TRUE(app->ExecuteCommand(cmd::FileSave));
    app->GetDocManager().CloseAllDocuments();
    TypePassword(password);
    ASSERT_NE(Open("cards.qdx"), nullptr);
    ASSERT_TRUE(app->CloseAllForExit());
    QSettings().sync();

    const QList<QByteArray> secrets = {password.toUtf8(), QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2),
                                       "card 0", "card 1", "secret"};
    int searched = 0;
    for (const QString& root : {QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")), dataHome, folder.path()}) {
        QDirIterator files(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QByteArray bytes = file.readAll();
            for (const QByteArray& secret : secrets) EXPECT_FALSE(bytes.contains(secret)) << path.toStdString() << " " << secret.toStdString();
            ++searched;
        }
    }
    EXPECT_GE(searched, 2);
    EXPECT_TRUE(QFile::exists(Path("cards.qdx")));
    for (const QString& entry : app->GetDocManager().RecentFiles().Entries()) EXPECT_FALSE(entry.contains(password));
}

TEST_F(SealedDocumentTest, AShortPasswordChangesNeitherModeNorType) {
    MakeCardFile(Path("cards.qdf"), 1);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);
    Choose(true, true, "short");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Password to short, please use more characters!"});
    EXPECT_FALSE(document->Data().sealed);
    EXPECT_EQ(document->GetDocTemplate(), app->PlainCardTemplate());
    EXPECT_EQ(document->GetPathName(), QFileInfo(Path("cards.qdf")).absoluteFilePath());
}

}  // namespace
}  // namespace tessarel::test
