// What a document may become and how it ends: an encrypted single file opened through any path is
// shown in the file encryption view and never becomes a card document; a file no reader knows
// opens nothing; closing windows never leaves a document without one.
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "AppFixture.h"
#include "app/ShellOpenServer.h"
#include "filecrypt/FileEncryptionOperations.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "framework/DocTemplate.h"
#include "framework/Settings.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CChildFrmFileView.h"
#include "mainframe/dialogs/GuiUserInterface.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using Texts = std::vector<std::string>;

const char* const kPasswordQuestion = "Password for file encryption is not set, would you like to set the Password ?";

class DocumentLifecycleTest : public AppFixture {
protected:
    QString Absolute(const QString& name) const { return QFileInfo(Path(name)).absoluteFilePath(); }
    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::vector<Document*> DocumentsOf(const QString& path) const {
        std::vector<Document*> found;
        for (Document* document : app->GetDocManager().GetDocuments())
            if (document->GetPathName() == path) found.push_back(document);
        return found;
    }
    template <typename Window>
    std::vector<Window*> Windows() const {
        std::vector<Window*> found;
        for (ChildFrame* child : frame->GetChildren())
            if (auto* window = dynamic_cast<Window*>(child)) found.push_back(window);
        return found;
    }
    void DropOnFrame(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame, &enter);
        EXPECT_TRUE(enter.isAccepted()) << "the main window takes dropped files";
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame, &drop);
    }
    CTessarelDoc* Open(const QString& name) { return static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path(name))); }
    // File View on the active card window, the password question answered No.
    CChildFrmFileView* EnterFileView() {
        dialogs->AnswerMessage(MessageAnswer::No);
        EXPECT_TRUE(app->ExecuteCommand(res::FileView));
        Settle();
        return dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
    }
};

// Every way a file is opened, for every form of name an encrypted single file has.
TEST_F(DocumentLifecycleTest, EncryptedSingleFilesOpenTheFileViewThroughEveryOpenPath) {
    enum class Way { FileOpen, RecentFile, ShellRequest, DdeStart, Drop, StartUp };
    const std::pair<Way, const char*> ways[] = {{Way::FileOpen, "File Open"},     {Way::RecentFile, "recent-file list"},
                                                {Way::ShellRequest, "[open()] request"}, {Way::DdeStart, "dde start"},
                                                {Way::Drop, "drag and drop"},    {Way::StartUp, "start-up reopening"}};
    const QByteArray bytes = QByteArray("encrypted bytes of a single file, not a card file ") + QByteArray(200, '\x5a');
    for (const char* name : {"page.h~~~", "notes~~~", "notes.~~~"}) {
        for (const auto& [way, wayName] : ways) {
            SCOPED_TRACE(std::string(wayName) + ", " + name);
            dialogs = std::make_unique<ScriptedDialogHost>();
            const QString path = Absolute(name);
            WriteFile(path, bytes);
            if (way == Way::DdeStart || way == Way::StartUp) {
                if (way == Way::StartUp) {
                    ASSERT_TRUE(Start());
                    WriteInt(setting::CheckOpenFiles, 1);
                    app->GetDocManager().RecentFiles().Add(path);
                    app->GetDocManager().RecentFiles().Save();
                }
                dialogs->AnswerMessage(MessageAnswer::No);
                ASSERT_TRUE(Start(way == Way::DdeStart ? QStringList{"/dde", path} : QStringList{"/Embedding"}));
                WriteInt(setting::CheckOpenFiles, 0);
            } else {
                ASSERT_TRUE(Start());
                if (way == Way::FileOpen) dialogs->AnswerFile(path);
                dialogs->AnswerMessage(MessageAnswer::No);
                if (way == Way::FileOpen) {
                    EXPECT_TRUE(app->ExecuteCommand(cmd::FileOpen));
                } else if (way == Way::RecentFile) {
                    app->GetDocManager().RecentFiles().Add(path);
                    EXPECT_TRUE(app->ExecuteCommand(cmd::FileMruFirst));
                } else if (way == Way::ShellRequest) {
                    ShellOpenServer client(QStringLiteral("tessarel"), nullptr);
                    EXPECT_EQ(client.Offer(ShellOpenServer::OpenCommand(path)), ShellOpenServer::HandOver::Taken);
                } else {
                    DropOnFrame(path);
                }
            }
            Settle();
            // Its one document belongs to the file-view template and shows in a file encryption
            // window, which is the active one; a card window was made beside it.
            const std::vector<Document*> documents = DocumentsOf(path);
            ASSERT_EQ(documents.size(), 1u);
            EXPECT_EQ(documents.front()->GetDocTemplate(), app->FileViewTemplate());
            auto* view = dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
            ASSERT_NE(view, nullptr);
            EXPECT_EQ(view->GetDocument(), documents.front());
            EXPECT_EQ(Windows<CChildFrame>().size(), 1u);
            EXPECT_TRUE(frame->FileEncryption().fileViewActive);
            EXPECT_EQ(Messages(), Texts({kPasswordQuestion}));
            EXPECT_FALSE(Enabled(cmd::FileSave));
            EXPECT_EQ(ReadFile(path), bytes);
            EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
            app->GetDocManager().CloseAllDocuments();
            Settle();
        }
    }
}

// The issue's own steps: a page encrypted to page.h~~~, opened by the desktop, New Card, Save.
TEST_F(DocumentLifecycleTest, NewCardAndSaveAfterOpeningAnEncryptedPageLeaveItAlone) {
    const QString page = Absolute("page.html");
    WriteFile(page, "<html><body>the only copy of this page</body></html>");
    {
        CFileEncryptionState state;
        state.filePassword.assign(std::string_view("password1"));
        state.filePasswordSet = true;
        GuiUserInterface ui;
        CFileEncryptionOperations operations(state, ui);
        operations.SelectFile(QFile::encodeName(page).toStdString());
        ASSERT_EQ(operations.EncryptSelectedFile(), CFileEncryptionOperations::Result::Done);
    }
    const QString encrypted = Absolute("page.h~~~");
    const QByteArray before = ReadFile(encrypted);
    ASSERT_FALSE(before.isEmpty());

    dialogs->AnswerMessage(MessageAnswer::No);
    ASSERT_TRUE(Start({"/dde", encrypted}));
    dialogs->RunDialog([](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->setText("typed name");
        return int(QDialog::Accepted);
    });
    app->ExecuteCommand(res::NewCard);
    app->ExecuteCommand(cmd::FileSave);
    Settle();
    EXPECT_EQ(ReadFile(encrypted), before);
    for (Document* document : DocumentsOf(encrypted)) {
        EXPECT_EQ(document->GetDocTemplate(), app->FileViewTemplate());
        EXPECT_FALSE(static_cast<CTessarelDoc*>(document)->HasCards());
    }
}

// A file that no card reader takes opens no document, whichever card template is asked, and a
// card file is never saved under an encrypted single file's name.
TEST_F(DocumentLifecycleTest, AFileNoCardReaderTakesOpensNothingAndIsNeverWrittenOver) {
    ASSERT_TRUE(Start());
    WriteFile(Path("page.h~~~"), QByteArray(80, '\x11'));
    WriteFile(Path("notes.txt"), "some words, not cards");
    struct Case {
        QString name;
        DocTemplate* docTemplate;  // nullptr: the document manager chooses
    };
    for (const Case& c : {Case{"notes.txt", nullptr}, Case{"page.h~~~", app->PlainCardTemplate()},
                          Case{"page.h~~~", app->EncryptedCardTemplate()}}) {
        SCOPED_TRACE(c.name.toStdString());
        dialogs = std::make_unique<ScriptedDialogHost>();
        const QByteArray before = ReadFile(Path(c.name));
        Document* opened = c.docTemplate ? c.docTemplate->OpenDocumentFile(Absolute(c.name)) : app->GetDocManager().OpenDocumentFile(Path(c.name));
        Settle();
        EXPECT_EQ(opened, nullptr);
        EXPECT_EQ(Messages(), Texts({"This is not a Tessarel file.", "Failed to open document."}));
        EXPECT_TRUE(app->GetDocManager().GetDocuments().empty());
        EXPECT_EQ(ReadFile(Path(c.name)), before);
    }

    dialogs = std::make_unique<ScriptedDialogHost>();
    MakeCardFile(Path("cards.qdf"), 2);
    CTessarelDoc* document = Open("cards.qdf");
    ASSERT_NE(document, nullptr);
    const QByteArray before = ReadFile(Path("page.h~~~"));
    dialogs->AnswerFile(Path("page.h~~~"));
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSaveAs));
    EXPECT_EQ(Messages(), Texts({"A name ending in \"~~~\" belongs to an encrypted single file; card files are not saved under it."}));
    EXPECT_EQ(ReadFile(Path("page.h~~~")), before);
    EXPECT_EQ(document->GetPathName(), Absolute("cards.qdf"));
}

// Closing windows, one way after another: a document never stays loaded without a window, the
// last window of a modified one asks first, and opening the file again always shows it.
TEST_F(DocumentLifecycleTest, ClosingWindowsNeverLeavesADocumentWithoutOne) {
    ASSERT_TRUE(Start());
    MakeCardFile(Path("cards.qdf"), 2);
    const QString question = QStringLiteral("Save changes to %1?").arg(Absolute("cards.qdf"));
    struct Case {
        const char* name;
        bool modified;
        bool closeCardWindow;  // else Card View on the file encryption window
        MessageAnswer answer;  // to "Save changes", when it is asked
        bool documentStays;
    };
    const Case cases[] = {
        {"card window closed beside its view, Cancel", true, true, MessageAnswer::Cancel, true},
        {"card window closed beside its view, No", true, true, MessageAnswer::No, false},
        {"card window closed beside its view, unmodified", false, true, MessageAnswer::Ok, false},
        {"Card View leaves the card window", true, false, MessageAnswer::Ok, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = std::make_unique<ScriptedDialogHost>();
        CTessarelDoc* document = Open("cards.qdf");
        ASSERT_NE(document, nullptr);
        if (c.modified) document->SetModifiedFlag();
        CChildFrame* cards = Windows<CChildFrame>().front();
        ASSERT_NE(EnterFileView(), nullptr);
        const std::size_t shown = Messages().size();
        if (c.answer != MessageAnswer::Ok) dialogs->AnswerMessage(c.answer);
        if (c.closeCardWindow) {
            frame->ActivateChild(cards);
            cards->close();
        } else {
            EXPECT_TRUE(app->ExecuteCommand(res::CardViewMenu));
        }
        Settle();
        const Texts all = Messages();
        const Texts asked(all.begin() + static_cast<std::ptrdiff_t>(shown), all.end());
        EXPECT_EQ(asked, c.modified && c.closeCardWindow ? Texts({question.toStdString()}) : Texts());
        EXPECT_EQ(DocumentsOf(Absolute("cards.qdf")).size(), c.documentStays ? 1u : 0u);
        EXPECT_EQ(Windows<CChildFrame>().size(), c.documentStays ? 1u : 0u);
        EXPECT_EQ(Windows<CChildFrmFileView>().size(), c.documentStays && c.closeCardWindow ? 1u : 0u);
        for (Document* remaining : app->GetDocManager().GetDocuments()) EXPECT_FALSE(remaining->GetFrames().empty());

        // Opening the file again shows it in a card window, whatever was left.
        CTessarelDoc* reopened = Open("cards.qdf");
        ASSERT_NE(reopened, nullptr);
        Settle();
        auto* active = dynamic_cast<CChildFrame*>(frame->GetActiveChild());
        ASSERT_NE(active, nullptr);
        EXPECT_EQ(active->GetDocument(), reopened);
        EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
        for (Document* open : app->GetDocManager().GetDocuments()) open->SetModifiedFlag(false);
        app->GetDocManager().CloseAllDocuments();
        Settle();
    }
}

}  // namespace
}  // namespace tessarel::test
