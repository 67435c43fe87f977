// What the program keeps of a password (nothing in the settings, the recent-file list or the
// dialogs once they close), and the document's Save failing on the disk: alone and when Encrypt
// On Save has switched the file type and an old file waits for removal.
#include <QCheckBox>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <cerrno>
#include <cstring>
#include <map>

#include "AppFixture.h"
#include "core/FileFaults.h"
#include "framework/CommandIds.h"
#include "framework/Settings.h"
#include "mainframe/dialogs/CDecryptPasswordDlg.h"
#include "mainframe/dialogs/CEncryptOnSaveDlg.h"
#include "mainframe/CFilePasswordDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using Texts = std::vector<std::string>;
using Snapshot = std::map<QString, QByteArray>;

// Fails one step of the file layer with an errno for as long as it is installed.
class FaultAt : public FileFaults {
public:
    FaultAt(FileStep step_, std::size_t index_, int error_) : step(step_), index(index_), error(error_) { previous = SetFileFaults(this); }
    ~FaultAt() override { SetFileFaults(previous); }
    FaultAt(const FaultAt&) = delete;
    FaultAt& operator=(const FaultAt&) = delete;
    int Inject(FileStep at, const std::string&, std::size_t count) override { return at == step && count == index ? error : 0; }

private:
    FileStep step;
    std::size_t index;
    int error;
    FileFaults* previous = nullptr;
};

class SecretsAndSaveFaultsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
    CTessarelDoc* Open(const QString& name) { return static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path(name))); }

    // Every card file of the test's folder with its bytes.
    Snapshot Files() const {
        Snapshot files;
        for (const QFileInfo& info : QDir(folder.path()).entryInfoList(QDir::Files)) {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            files[info.fileName()] = file.readAll();
        }
        return files;
    }
};

// Where a password could be kept by mistake: every settings file of the private configuration
// folder, the program's data folder, and the recent-file list.
TEST_F(SecretsAndSaveFaultsTest, NoPasswordInTheSettingsOrTheRecentFileList) {
    const QString password = QStringLiteral("Quartz-Zebra-4711");
    MakeCardFile(Path("cards.qdf"), 2);
    ASSERT_NE(Open("cards.qdf"), nullptr);
    FillEncryptOnSave(true, password, password);
    ASSERT_TRUE(app->ExecuteCommand(res::EncryptOnSave));
    ASSERT_TRUE(app->ExecuteCommand(cmd::FileSave));
    ASSERT_TRUE(QFile::exists(Path("cards.qde")));
    // Opened again with the password typed, then the program ends as a person would end it.
    app->GetDocManager().CloseAllDocuments();
    TypePassword(password);
    ASSERT_NE(Open("cards.qde"), nullptr);
    ASSERT_TRUE(app->CloseAllForExit());
    QSettings().sync();

    const QList<QByteArray> forms = {password.toUtf8(), QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2)};
    QStringList searched;
    for (const QString& root : {QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")), dataHome, folder.path()}) {
        QDirIterator files(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QByteArray bytes = file.readAll();
            for (const QByteArray& form : forms) EXPECT_FALSE(bytes.contains(form)) << path.toStdString();
            searched << path;
        }
    }
    EXPECT_TRUE(searched.contains(SettingsFilePath())) << "the settings file was written and searched";
    const QStringList recent = app->GetDocManager().RecentFiles().Entries();
    ASSERT_FALSE(recent.isEmpty());
    for (int n = 1; n <= cmd::kRecentFileCount; ++n) EXPECT_FALSE(ReadText(RecentFileSetting(n)).contains(password));
    for (const QString& entry : recent) EXPECT_FALSE(entry.contains(password));
}

// Each password dialog empties its edits when it closes, by OK as by Cancel; what OK read stays
// in the dialog's members for its caller.
TEST_F(SecretsAndSaveFaultsTest, PasswordDialogsEmptyTheirEditsWhenTheyClose) {
    const QString typed = QStringLiteral("typed secret 1");
    struct Case {
        const char* name;
        std::function<std::unique_ptr<Dialog>()> make;
        std::vector<int> edits;
        std::function<QString(Dialog&)> kept;
    };
    const Case cases[] = {
        {"Decryption Password", [] { return std::make_unique<CDecryptPasswordDlg>(); }, {res::ControlDecryptPassword},
         [](Dialog& d) { return static_cast<CDecryptPasswordDlg&>(d).password; }},
        {"File Encryption",
         [] {
             auto dialog = std::make_unique<CEncryptOnSaveDlg>();
             dialog->encrypt = 1;
             return dialog;
         },
         {res::ControlEncryptPassword, res::ControlEncryptConfirm}, [](Dialog& d) { return static_cast<CEncryptOnSaveDlg&>(d).confirmation; }},
        {"Set File Encryption Password", [] { return std::make_unique<CFilePasswordDlg>(); },
         {CFilePasswordDlg::kFirstEdit, CFilePasswordDlg::kSecondEdit}, [](Dialog& d) { return static_cast<CFilePasswordDlg&>(d).password; }},
    };
    for (const Case& c : cases) {
        for (const int answer : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
            SCOPED_TRACE(std::string(c.name) + (answer == QDialog::Accepted ? " OK" : " Cancel"));
            auto dialog = c.make();
            dialogs->RunDialog([&](Dialog& shown) {
                for (int id : c.edits) shown.findChild<QLineEdit*>(QString::number(id))->setText(typed);
                return answer;
            });
            EXPECT_EQ(dialog->DoModal(), answer);
            for (int id : c.edits) {
                auto* edit = dialog->findChild<QLineEdit*>(QString::number(id));
                EXPECT_TRUE(edit->text().isEmpty()) << id;
                EXPECT_FALSE(edit->isUndoAvailable()) << id;
            }
            if (answer == QDialog::Accepted) {
                EXPECT_EQ(c.kept(*dialog), typed);
            }
        }
    }
}

// The document's Save failing at each step of writing: the folder stays as it was, the failure is
// shown, the document stays modified, and when Encrypt On Save switched the type the old file is
// still there and still waits for removal after the next good save.
TEST_F(SecretsAndSaveFaultsTest, AFailedDocumentSaveKeepsEveryFile) {
    struct Step {
        FileStep step;
        std::size_t index;
        int error;
    };
    const Step steps[] = {{FileStep::Create, 0, EACCES}, {FileStep::Write, 0, ENOSPC}, {FileStep::Flush, 0, EIO}, {FileStep::Rename, 0, EROFS}};
    struct Switch {
        const char* name;
        QString opened;     // the file opened
        int encrypt;        // Encrypt On Save answered with this, or -1 for a plain Save
        QString saved;      // the file Save writes
    };
    const Switch switches[] = {
        {"plain save", "cards.qdf", -1, "cards.qdf"},
        {"encrypted save", "safe.qde", -1, "safe.qde"},
        {"plain to encrypted", "cards.qdf", 1, "cards.qde"},
        {"encrypted to plain", "safe.qde", 0, "safe.qdf"},
    };
    for (const Switch& s : switches) {
        for (const Step& step : steps) {
            SCOPED_TRACE(std::string(s.name) + ": " + std::strerror(step.error));
            app->GetDocManager().CloseAllDocuments();
            Settle();
            for (const QFileInfo& info : QDir(folder.path()).entryInfoList(QDir::Files)) QFile::remove(info.filePath());
            MakeCardFile(Path("cards.qdf"), 3);
            MakeCardFile(Path("safe.qde"), 3, 0, "longpassword");
            if (s.opened.endsWith(".qde")) TypePassword("longpassword");
            CTessarelDoc* document = Open(s.opened);
            ASSERT_NE(document, nullptr);
            if (s.encrypt >= 0) {
                FillEncryptOnSave(s.encrypt == 1, "12345678", "12345678");
                ASSERT_TRUE(app->ExecuteCommand(res::EncryptOnSave));
            } else {
                document->SetModifiedFlag();
            }
            ASSERT_EQ(QFileInfo(document->GetPathName()).fileName(), s.saved);
            const Snapshot before = Files();
            const std::size_t shownBefore = Messages().size();
            {
                FaultAt fault(step.step, step.index, step.error);
                EXPECT_FALSE(document->DoFileSave());
            }
            const Texts shown = Messages();
            EXPECT_EQ(Texts(shown.begin() + static_cast<std::ptrdiff_t>(shownBefore), shown.end()),
                      Texts({std::string("Failed to save document.\n") + std::strerror(step.error)}));
            EXPECT_EQ(Files(), before);
            EXPECT_TRUE(document->IsModified());

            // The next save that works puts the new file in place and only then removes the old one.
            ASSERT_TRUE(document->DoFileSave());
            EXPECT_TRUE(QFile::exists(Path(s.saved)));
            if (s.encrypt >= 0) {
                EXPECT_FALSE(QFile::exists(Path(s.opened)));
            }
        }
    }
}

}  // namespace
}  // namespace tessarel::test
