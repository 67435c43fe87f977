// Entering and leaving the file encryption view: its window, the bars and menu that follow it,
// the password question.
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>

#include "FileViewFixture.h"
#include "filecrypt/CSHellView.h"
#include "filecrypt/CShellListView.h"
#include "framework/Document.h"
#include "framework/DocTemplate.h"
#include "mainframe/CChildFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class FileViewWindowTest : public FileViewFixture {
protected:
    void ExpectCardBars() {
        EXPECT_FALSE(frame->MainToolbar()->isHidden());
        EXPECT_FALSE(frame->StatusDialogBar()->isHidden());
        EXPECT_TRUE(frame->FileToolbar()->isHidden());
        EXPECT_TRUE(frame->FoldersBar()->isHidden());
        EXPECT_FALSE(frame->FileEncryption().fileViewActive);
    }
    void ExpectFileBars() {
        EXPECT_TRUE(frame->MainToolbar()->isHidden());
        EXPECT_TRUE(frame->StatusDialogBar()->isHidden());
        EXPECT_FALSE(frame->FileToolbar()->isHidden());
        EXPECT_FALSE(frame->FoldersBar()->isHidden());
        EXPECT_TRUE(frame->FileEncryption().fileViewActive);
    }
    QStringList MenuTitles() const {
        QStringList titles;
        for (QAction* action : frame->menuBar()->actions()) titles << action->text();
        return titles;
    }
};

TEST_F(FileViewWindowTest, EnteringAndLeavingSwapBarsAndMenu) {
    app->GetDocManager().OnFileNew();
    Settle();
    ExpectCardBars();
    dialogs->AnswerMessage(MessageAnswer::No);
    app->ExecuteCommand(res::FileEncryptionButton);
    Settle();
    ASSERT_EQ(Messages(), std::vector<std::string>{"Password for file encryption is not set, would you like to set the Password ?"});
    EXPECT_EQ(dialogs->Events().front().message.buttons, MessageButtons::YesNo);
    auto* view = dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), "File Encryption");
    EXPECT_EQ(view->size(), QSize(750, 480));
    ASSERT_EQ(view->Splitter()->count(), 2);
    EXPECT_NEAR(view->Splitter()->sizes()[0], view->Splitter()->sizes()[1], view->Splitter()->handleWidth() + 1);
    ExpectFileBars();
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->CurrentMenu(), res::MenuFileView);
    EXPECT_EQ(MenuTitles(), QStringList({"&File", "&Encryption", "&View"}));
    QStringList tips;
    for (QAction* action : frame->FileToolbar()->actions())
        if (!action->isSeparator()) tips << QString::number(action->data().toInt());
    EXPECT_EQ(tips, QStringList({"32787", "32795", "32788", "32789", "32798", "32800", "32790"}));

    app->ExecuteCommand(res::CardViewButton);
    Settle();
    EXPECT_TRUE(FileViewWindows().empty());
    ExpectCardBars();
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->CurrentMenu(), res::MenuPlainCard);
    ASSERT_NE(frame->ActiveCardDocument(), nullptr) << "the card window stays";
}

TEST_F(FileViewWindowTest, YesToTheQuestionSetsThePasswordAndShowsItsImage) {
    CChildFrmFileView* view = EnterView(true);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(frame->FileEncryption().filePassword), kPassword);
    EXPECT_TRUE(frame->FileEncryption().filePasswordSet);
    EXPECT_TRUE(frame->PasswordImageShown());
    // With a password the question is not asked again.
    app->ExecuteCommand(res::CardViewMenu);
    Settle();
    app->ExecuteCommand(res::FileView);
    Settle();
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(dialogs->Problems().isEmpty());
}

TEST_F(FileViewWindowTest, FileViewTwiceOpensTwoWindows) {
    CChildFrmFileView* first = EnterView(false);
    dialogs->AnswerMessage(MessageAnswer::No);
    app->ExecuteCommand(res::FileView);
    Settle();
    std::vector<CChildFrmFileView*> windows = FileViewWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NE(windows[0], windows[1]);
    EXPECT_NE(frame->GetActiveChild(), first);
    // Leaving one leaves the other in place, and its bars.
    app->ExecuteCommand(res::CardViewMenu);
    Settle();
    EXPECT_EQ(FileViewWindows().size(), 1u);
    frame->ActivateChild(FileViewWindows().front());
    Settle();
    ExpectFileBars();
}

TEST_F(FileViewWindowTest, CardViewOutsideTheViewDoesNothing) {
    app->GetDocManager().OnFileNew();
    Settle();
    ChildFrame* card = frame->GetActiveChild();
    ASSERT_NE(card, nullptr);
    app->ExecuteCommand(res::CardViewMenu);
    app->ExecuteCommand(res::CardViewButton);
    Settle();
    EXPECT_EQ(frame->GetActiveChild(), card);
    EXPECT_EQ(frame->GetChildren().size(), 1u);
    ExpectCardBars();
}

TEST_F(FileViewWindowTest, AFilterBeforeAnyFolderOnlyChangesTheFlag) {
    CChildFrmFileView* view = EnterView(false);
    ASSERT_NE(view, nullptr);
    app->ExecuteCommand(res::EncryptedFilesMenu);
    EXPECT_TRUE(frame->FileEncryption().showEncryptedOnly);
    EXPECT_EQ(view->ListView()->topLevelItemCount(), 0);
    EXPECT_FALSE(view->TreeView()->CurrentFolder().has_value());
}

TEST_F(FileViewWindowTest, ClosingTheCardFileClosesItsViewAndRestoresTheBars) {
    CChildFrmFileView* view = EnterView(false);
    ASSERT_NE(view, nullptr);
    view->GetDocument()->OnCloseDocument();
    Settle();
    EXPECT_TRUE(frame->GetChildren().empty());
    ExpectCardBars();
}

TEST_F(FileViewWindowTest, SwitchingWindowsFollowsWithTheBars) {
    CChildFrmFileView* view = EnterView(false);
    ASSERT_NE(view, nullptr);
    ChildFrame* card = nullptr;
    for (ChildFrame* child : frame->GetChildren())
        if (dynamic_cast<CChildFrame*>(child)) card = child;
    ASSERT_NE(card, nullptr);
    frame->ActivateChild(card);
    Settle();
    ExpectCardBars();
    frame->ActivateChild(view);
    Settle();
    ExpectFileBars();
}

// A "~~~" file opened as a document gets the view's window from the program's file-view template; the
// document reader reads nothing and the window enters the view, after a new card window when
// none is open.
TEST_F(FileViewWindowTest, OpeningAnEncryptedSingleFileEntersTheView) {
    WriteFile(Path("photo.jpg.~~~"), QByteArray(64, 'x'));
    dialogs->AnswerMessage(MessageAnswer::No);
    // Opened as the program opens any file: the document manager picks the template by the name.
    Document* opened = app->GetDocManager().OpenDocumentFile(Path("photo.jpg.~~~"));
    ASSERT_NE(opened, nullptr);
    DocTemplate& singleFiles = *app->FileViewTemplate();
    EXPECT_EQ(opened->GetDocTemplate(), &singleFiles);
    Settle();
    auto* view = dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetDocument(), opened);
    EXPECT_EQ(view->windowTitle(), "File Encryption");
    EXPECT_EQ(view->size(), QSize(750, 480));
    ExpectFileBars();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Password for file encryption is not set, would you like to set the Password ?"});
    ASSERT_EQ(frame->GetChildren().size(), 2u) << "a card window was made first";
    EXPECT_EQ(ReadFile(Path("photo.jpg.~~~")), QByteArray(64, 'x')) << "the file itself is left alone";
    ASSERT_TRUE(view->TreeView()->CurrentFolder().has_value());
    EXPECT_EQ(view->TreeView()->CurrentFolder()->ParsingPath(), tree) << "the view opens on the file's folder";
    ASSERT_NE(Row(view, "photo.jpg.~~~"), nullptr);
    EXPECT_TRUE(Row(view, "photo.jpg.~~~")->isSelected());
    EXPECT_EQ(frame->FileEncryption().selectedFilePath, QFile::encodeName(Path("photo.jpg.~~~")).toStdString());

    // Card View closes the window and its document with it; the card window stays.
    app->ExecuteCommand(res::CardViewMenu);
    Settle();
    EXPECT_TRUE(singleFiles.GetDocuments().empty());
    EXPECT_NE(frame->ActiveCardDocument(), nullptr);
    ExpectCardBars();
}

}  // namespace
}  // namespace tessarel::test
