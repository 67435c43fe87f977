// The file type switch of Encrypt On Save: the new name, the question before an existing file of
// that name is replaced, and the order of writing the new file and removing the old one, also when
// a step fails.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <map>

#include "AppFixture.h"
#include "cardstore/CardFileFormat.h"
#include "core/FileFaults.h"
#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using Texts = std::vector<std::string>;
using Snapshot = std::map<QString, QByteArray>;

// Fails one step of the file layer with an errno for as long as it is installed.
class FailStep : public FileFaults {
public:
    FailStep(FileStep step_, int error_) : step(step_), error(error_) { previous = SetFileFaults(this); }
    ~FailStep() override { SetFileFaults(previous); }
    FailStep(const FailStep&) = delete;
    FailStep& operator=(const FailStep&) = delete;
    int Inject(FileStep at, const std::string&, std::size_t index) override { return at == step && index == 0 ? error : 0; }

private:
    FileStep step;
    int error;
    FileFaults* previous = nullptr;
};

class FileTypeSwitchTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    QString Absolute(const QString& name) const { return QFileInfo(Path(name)).absoluteFilePath(); }
    QString Question(const QString& name) const {
        return QStringLiteral("%1 already exists.\nThe next save of this card file will replace it. Do you want to replace it?")
            .arg(QDir::toNativeSeparators(Absolute(name)));
    }
    Snapshot Files() const {
        Snapshot files;
        for (const QFileInfo& info : QDir(folder.path()).entryInfoList(QDir::Files)) {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            files[info.fileName()] = file.readAll();
        }
        return files;
    }
    void ClearFolder() {
        app->GetDocManager().CloseAllDocuments();
        Settle();
        for (const QFileInfo& info : QDir(folder.path()).entryInfoList(QDir::Files)) QFile::remove(info.filePath());
        dialogs = std::make_unique<ScriptedDialogHost>();
    }
    // Opens `name` through `docTemplate` (or the document manager's choice).
    CTessarelDoc* Open(const QString& name, DocTemplate* docTemplate = nullptr) {
        Document* opened = docTemplate ? docTemplate->OpenDocumentFile(Absolute(name)) : app->GetDocManager().OpenDocumentFile(Path(name));
        return static_cast<CTessarelDoc*>(opened);
    }
    // Encrypt On Save answered OK, and the question about an existing file with `answer`.
    void EncryptOnSave(bool encrypt, std::optional<MessageAnswer> answer = std::nullopt) {
        FillEncryptOnSave(encrypt, "12345678", "12345678");
        if (answer) dialogs->AnswerMessage(*answer);
        ASSERT_TRUE(app->ExecuteCommand(res::EncryptOnSave));
    }
    int CardsIn(const QString& name, const std::string& password = {}) {
        CCardFileData data;
        struct Answer : UserInterface {
            std::string password;
            MessageAnswer ShowMessage(const Message&) override { return MessageAnswer::Ok; }
            std::optional<std::string> AskPassword(const std::string&) override { return password; }
        } ui;
        ui.password = password;
        if (!LoadCardFile(data, Path(name).toStdString(), ui).ok) return -1;
        return data.GetCategoryList(1)->GetCount();
    }
};

// The new name replaces the suffix of the file's type, whatever case it is in; a name without it
// gets the new suffix added.
TEST_F(FileTypeSwitchTest, TheNewNameReplacesTheRealSuffix) {
    struct Case {
        const char* opened;
        bool plainTemplate;  // opened through the plain card template, else the manager's choice
        bool encrypt;
        const char* switched;
    };
    const Case cases[] = {
        {"cards.qdf", false, true, "cards.qde"},   {"Cards.QDF", false, true, "Cards.qde"},
        {"notes", true, true, "notes.qde"},        {"backup.dat", true, true, "backup.dat.qde"},
        {"safe.qde", false, false, "safe.qdf"},    {"a.b.qde", false, false, "a.b.qdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opened);
        ClearFolder();
        MakeCardFile(Path(c.opened), 2, 0, c.encrypt ? "" : "longpassword");
        if (!c.encrypt) TypePassword("longpassword");
        CTessarelDoc* document = Open(c.opened, c.plainTemplate ? app->PlainCardTemplate() : nullptr);
        ASSERT_NE(document, nullptr);
        EncryptOnSave(c.encrypt);
        EXPECT_EQ(document->GetPathName(), Absolute(c.switched));
        EXPECT_EQ(document->GetDocTemplate(), c.encrypt ? app->EncryptedCardTemplate() : app->PlainCardTemplate());
        ASSERT_TRUE(document->DoFileSave());
        EXPECT_EQ(Files().size(), 1u) << "the old file goes once the new one is written";
        EXPECT_EQ(CardsIn(c.switched, c.encrypt ? "12345678" : ""), 2);
        EXPECT_EQ(Messages(), Texts());
    }
}

// A file of the new name is replaced only when the person says so; No keeps everything as it was.
// Switching back to the document's own file asks nothing, and a file it was only going to
// replace is never removed.
TEST_F(FileTypeSwitchTest, AnExistingFileOfTheNewNameIsReplacedOnlyWhenThePersonSaysSo) {
    MakeCardFile(Path("cards.qdf"), 2);
    MakeCardFile(Path("cards.qde"), 5, 0, "other password");
    const Snapshot before = Files();
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);

    EncryptOnSave(true, MessageAnswer::No);
    EXPECT_EQ(Messages(), Texts({Question("cards.qde").toStdString()}));
    EXPECT_EQ(dialogs->Events().back().message.buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs->Events().back().message.caption, "Tessarel");
    EXPECT_EQ(document->GetEncryptionMode(), 0);
    EXPECT_EQ(document->GetDocTemplate(), app->PlainCardTemplate());
    EXPECT_EQ(document->GetPathName(), Absolute("cards.qdf"));
    EXPECT_FALSE(document->IsModified());

    // Yes, then back to plain before saving: its own cards.qdf is written again, and the other
    // cards.qde, which it never wrote, stays.
    EncryptOnSave(true, MessageAnswer::Yes);
    EXPECT_EQ(document->GetPathName(), Absolute("cards.qde"));
    EncryptOnSave(false);
    EXPECT_EQ(Messages().size(), 2u) << "returning to its own file asks nothing";
    EXPECT_EQ(document->GetPathName(), Absolute("cards.qdf"));
    ASSERT_TRUE(document->DoFileSave());
    EXPECT_EQ(Files().at("cards.qde"), before.at("cards.qde"));
    EXPECT_EQ(CardsIn("cards.qdf"), 2);

    // Yes and save: cards.qde now holds this document, encrypted, and cards.qdf is gone.
    EncryptOnSave(true, MessageAnswer::Yes);
    ASSERT_TRUE(document->DoFileSave());
    EXPECT_FALSE(QFile::exists(Path("cards.qdf")));
    EXPECT_EQ(CardsIn("cards.qde", "12345678"), 2);
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

// A failure at any step of the save after the switch leaves both files as they were and the
// document modified; the old file is removed only once the new one is in place, and a removal
// that fails is said, kept waiting and tried again at the next save.
TEST_F(FileTypeSwitchTest, AFailureAtAnyStepLeavesBothFiles) {
    struct Case {
        FileStep step;
        int error;
    };
    for (const Case& c : {Case{FileStep::Create, EACCES}, Case{FileStep::Write, ENOSPC}, Case{FileStep::Flush, EIO},
                          Case{FileStep::Rename, EROFS}, Case{FileStep::Remove, EBUSY}}) {
        SCOPED_TRACE(std::strerror(c.error));
        ClearFolder();
        MakeCardFile(Path("cards.qdf"), 2);
        MakeCardFile(Path("cards.qde"), 5, 0, "other password");
        CTessarelDoc* document = Open("cards.qdf");
        ASSERT_NE(document, nullptr);
        EncryptOnSave(true, MessageAnswer::Yes);
        const Snapshot before = Files();
        const std::size_t shown = Messages().size();
        {
            FailStep fault(c.step, c.error);
            const bool saved = document->DoFileSave();
            EXPECT_EQ(saved, c.step == FileStep::Remove);
        }
        const Texts all = Messages();
        const Texts said(all.begin() + static_cast<std::ptrdiff_t>(shown), all.end());
        EXPECT_TRUE(document->IsModified());
        EXPECT_EQ(Files().at("cards.qdf"), before.at("cards.qdf"));
        if (c.step == FileStep::Remove) {
            // The new file is complete; the old one waits and the person knows.
            EXPECT_EQ(said, Texts({QStringLiteral("The old file %1 could not be removed.\n%2")
                                       .arg(QDir::toNativeSeparators(Absolute("cards.qdf")), QString::fromLocal8Bit(std::strerror(c.error)))
                                       .toStdString()}));
            EXPECT_EQ(CardsIn("cards.qde", "12345678"), 2);
            EXPECT_EQ(document->OldPlainPath(), Absolute("cards.qdf"));
        } else {
            EXPECT_EQ(said, Texts({std::string("Failed to save document.\n") + std::strerror(c.error)}));
            EXPECT_EQ(Files(), before);
        }
        // The next good save puts the new file in place and only then removes the old one.
        ASSERT_TRUE(document->DoFileSave());
        EXPECT_FALSE(document->IsModified());
        EXPECT_FALSE(QFile::exists(Path("cards.qdf")));
        EXPECT_EQ(CardsIn("cards.qde", "12345678"), 2);
    }
}

}  // namespace
}  // namespace tessarel::test
