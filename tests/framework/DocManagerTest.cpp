// New, Open, Save, Save As and Close through the document manager, with every dialog scripted.
#include <QFile>
#include <QFileInfo>

#include "TestDocuments.h"
#include "framework/CommandIds.h"
#include "framework/Settings.h"

namespace tessarel::test {
namespace {

using Kind = ScriptedDialogHost::Kind;
using Texts = std::vector<std::string>;

class DocManagerTest : public FrameworkFixture {
protected:
    QByteArray ReadBack(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

TEST_F(DocManagerTest, NewUsesTheTemplateWithANameForNewDocuments) {
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileNew));
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileNew));
    ASSERT_EQ(plainTemplate->GetDocuments().size(), 2u);
    EXPECT_TRUE(otherTemplate->GetDocuments().empty());
    EXPECT_EQ(plainTemplate->GetDocuments()[0]->GetTitle(), "Untitled1");
    EXPECT_EQ(plainTemplate->GetDocuments()[1]->GetTitle(), "Untitled2");
    EXPECT_FALSE(plainTemplate->GetDocuments()[0]->IsModified());
    EXPECT_EQ(frame->GetChildren().size(), 2u);
}

TEST_F(DocManagerTest, OpenPicksTheTemplateByExtensionAndListsEveryFilter) {
    QString path = TempPath("notes.log");
    WriteFile(path, "hello");
    dialogs->AnswerFile(path);
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileOpen));
    ASSERT_EQ(otherTemplate->GetDocuments().size(), 1u);
    auto* document = static_cast<TextDocument*>(otherTemplate->GetDocuments()[0]);
    EXPECT_EQ(document->text, "hello");
    EXPECT_EQ(document->GetTitle(), "notes.log");
    EXPECT_EQ(document->GetPathName(), QFileInfo(path).absoluteFilePath());
    ASSERT_EQ(dialogs->Events().size(), 1u);
    EXPECT_EQ(dialogs->Events()[0].request.filters,
              QStringList({"Log Files (*.log)", "Text Files (*.txt)", "All Files (*)"}));
    EXPECT_EQ(app->GetDocManager().RecentFiles().At(0), document->GetPathName());

    // Opening the same file again shows the open document instead of a second copy.
    EXPECT_EQ(app->GetDocManager().OpenDocumentFile(path), document);
    EXPECT_EQ(otherTemplate->GetDocuments().size(), 1u);
}

TEST_F(DocManagerTest, FailedOpenShowsTheReadersMessageThenTheFrameworks) {
    QString path = TempPath("broken.txt");
    WriteFile(path, "BAD");
    EXPECT_EQ(app->GetDocManager().OpenDocumentFile(path), nullptr);
    EXPECT_EQ(dialogs->MessageTexts(), Texts({"bad contents", "Failed to open document."}));
    Settle();
    EXPECT_TRUE(plainTemplate->GetDocuments().empty());
    EXPECT_TRUE(frame->GetChildren().empty());
    EXPECT_EQ(TextDocument::instances, 0);
    EXPECT_EQ(app->GetDocManager().RecentFiles().Count(), 0);
}

TEST_F(DocManagerTest, SaveAsksForAPathWithTheTemplatesFilterThenSavesInPlace) {
    app->ExecuteCommand(cmd::FileNew);
    auto* document = static_cast<TextDocument*>(plainTemplate->GetDocuments()[0]);
    document->text = "first";
    document->SetModifiedFlag();
    QString path = TempPath("saved");
    dialogs->AnswerFile(path);
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    ASSERT_EQ(dialogs->Events().size(), 1u);
    EXPECT_EQ(dialogs->Events()[0].kind, Kind::SaveFile);
    EXPECT_EQ(dialogs->Events()[0].request.filters, QStringList({"Text Files (*.txt)", "All Files (*)"}));
    EXPECT_EQ(dialogs->Events()[0].request.initialPath, "Untitled1.txt");
    EXPECT_EQ(ReadBack(path + ".txt"), "first");
    EXPECT_EQ(document->GetTitle(), "saved.txt");
    EXPECT_FALSE(document->IsModified());

    document->text = "second";
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSave));
    EXPECT_EQ(dialogs->Events().size(), 1u) << "a document with a path saves without asking";
    EXPECT_EQ(ReadBack(path + ".txt"), "second");

    dialogs->CancelFile();
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileSaveAs));
    EXPECT_EQ(dialogs->Events().size(), 2u) << "Save As always asks";
    EXPECT_EQ(dialogs->Events()[1].request.initialPath, QFileInfo(path + ".txt").absoluteFilePath());
}

TEST_F(DocManagerTest, CloseAsksAboutChangesAndHonoursTheAnswer) {
    app->ExecuteCommand(cmd::FileNew);
    Document* document = plainTemplate->GetDocuments()[0];
    document->SetModifiedFlag();

    dialogs->AnswerMessage(MessageAnswer::Cancel);
    app->ExecuteCommand(cmd::FileClose);
    EXPECT_EQ(dialogs->MessageTexts(), Texts({"Save changes to Untitled1?"}));
    EXPECT_EQ(plainTemplate->GetDocuments().size(), 1u) << "Cancel keeps the document open";

    dialogs->AnswerMessage(MessageAnswer::Yes);
    dialogs->CancelFile();
    app->ExecuteCommand(cmd::FileClose);
    EXPECT_EQ(plainTemplate->GetDocuments().size(), 1u) << "a cancelled save keeps it open too";

    dialogs->AnswerMessage(MessageAnswer::No);
    app->ExecuteCommand(cmd::FileClose);
    Settle();
    EXPECT_TRUE(plainTemplate->GetDocuments().empty());
    EXPECT_TRUE(frame->GetChildren().empty());
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(DocManagerTest, ExitAsksForEveryModifiedDocumentAndStopsOnCancel) {
    QString path = TempPath("keep.txt");
    WriteFile(path, "old");
    auto* opened = static_cast<TextDocument*>(app->GetDocManager().OpenDocumentFile(path));
    ASSERT_NE(opened, nullptr);
    opened->text = "new";
    opened->SetModifiedFlag();
    app->ExecuteCommand(cmd::FileNew);
    plainTemplate->GetDocuments()[1]->SetModifiedFlag();

    dialogs->AnswerMessage(MessageAnswer::Yes);
    dialogs->AnswerMessage(MessageAnswer::Cancel);
    EXPECT_FALSE(app->CloseAllForExit());
    EXPECT_EQ(ReadBack(path), "new");
    EXPECT_EQ(plainTemplate->GetDocuments().size(), 2u);
    std::string question = "Save changes to " + QFileInfo(path).absoluteFilePath().toStdString() + "?";
    EXPECT_EQ(dialogs->MessageTexts(), Texts({question, "Save changes to Untitled1?"}));

    dialogs->AnswerMessage(MessageAnswer::No);
    EXPECT_TRUE(app->CloseAllForExit());
    Settle();
    EXPECT_EQ(TextDocument::instances, 0);
    EXPECT_EQ(ReadText(setting::RecentFile1), QFileInfo(path).absoluteFilePath()) << "the list is written at exit";
}

TEST_F(DocManagerTest, RecentFileCommandsOpenAndForgetMissingFiles) {
    QString kept = TempPath("kept.txt");
    WriteFile(kept, "here");
    QString gone = TempPath("gone.txt");
    RecentFileList& recent = app->GetDocManager().RecentFiles();
    recent.Add(kept);
    recent.Add(gone);
    frame->MakeAction(cmd::FileMruFirst, "Recent File");
    QAction* second = frame->MakeAction(cmd::FileMruFirst + 1, "");
    QAction* third = frame->MakeAction(cmd::FileMruFirst + 2, "");
    frame->UpdateCommandStates();
    EXPECT_EQ(second->text().toStdString(), "&2 " + RecentFileList::Abbreviate(QFileInfo(kept).absoluteFilePath(), 30).toStdString());
    EXPECT_FALSE(third->isVisible());

    EXPECT_TRUE(app->ExecuteCommand(cmd::FileMruFirst));
    EXPECT_EQ(dialogs->MessageTexts(), Texts({"cannot read", "Failed to open document."}));
    EXPECT_EQ(recent.Entries(), QStringList({QFileInfo(kept).absoluteFilePath()}));
    EXPECT_TRUE(app->ExecuteCommand(cmd::FileMruFirst));
    EXPECT_EQ(plainTemplate->GetDocuments().size(), 1u);
}

}  // namespace
}  // namespace tessarel::test
