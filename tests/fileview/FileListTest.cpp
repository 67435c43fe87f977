// The file list: its columns and rows, the filter, and what choosing a row does to the commands.
#include <QCoreApplication>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMouseEvent>

#include "FileViewFixture.h"
#include "../support/ScopedTimeZone.h"
#include "filecrypt/CSHellView.h"
#include "filecrypt/CShellListView.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class FileListTest : public FileViewFixture {
protected:
    void SetUp() override {
        FileViewFixture::SetUp();
        // An encrypted file made by the tool itself.
        WriteFile(Path("secret.txt"), QByteArray(40, 's'));
        view = EnterView(true);
        ASSERT_NE(view, nullptr);
        Browse(view);
        Choose(view, "secret.txt");
        app->ExecuteCommand(res::EncryptFileMenu);
        ASSERT_TRUE(QFile::exists(Path("secret.~~~")));
        dialogs = std::make_unique<ScriptedDialogHost>();
    }
    CChildFrmFileView* view = nullptr;
};

TEST_F(FileListTest, ColumnsRowsAndTheirOrder) {
    QTreeWidgetItem* headings = view->ListView()->headerItem();
    EXPECT_EQ(QStringList({headings->text(0), headings->text(1), headings->text(2), headings->text(3)}),
              QStringList({"Name", "Size", "Type", "Modified"}));
    const std::vector<int> widths{100, 90, 100, 130};
    for (int column = 0; column < 4; ++column) EXPECT_EQ(view->ListView()->columnWidth(column), widths[static_cast<std::size_t>(column)]);
    // Folders first in their order, then files in reverse order.
    EXPECT_EQ(Column(view, 0), QStringList({"alpha", "beta", "secret.~~~", "empty.dat", "b.txt", "a.txt"}));
    EXPECT_EQ(Column(view, 2), QStringList({"File Folder", "File Folder", "Encrypted File", "DAT File", "TXT File", "TXT File"}));
    EXPECT_EQ(Column(view, 1), QStringList({"", "", "92 Bytes", "0 Bytes", "64 Bytes", "22 Bytes"}));
    EXPECT_EQ(Row(view, "alpha")->text(3), "");
}

TEST_F(FileListTest, ModifiedIsTheStoredTimeWithoutSeconds) {
    // The stored (universal) time, whatever the zone: nine hours from UTC, local time would show.
    tessarel::testing::ScopedTimeZone zone("Asia/Tokyo");
    QFile file(Path("b.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2024, 5, 1), QTime(14, 30, 59), Qt::UTC), QFileDevice::FileModificationTime));
    file.close();
    view->TreeView()->RefreshFileList();
    EXPECT_EQ(Row(view, "b.txt")->text(3), "24/05/01 14:30 PM");
    EXPECT_EQ(CShellListView::TimeText(QDateTime(QDate(2009, 1, 2), QTime(3, 4, 5), Qt::UTC)), "09/01/02 03:04 AM");
}

TEST_F(FileListTest, FilterListsOnlyEncryptedFilesAndFlipsTheCommands) {
    frame->UpdateCommandStates();
    EXPECT_TRUE(Checked(res::AllFilesMenu));
    EXPECT_FALSE(Checked(res::EncryptedFilesMenu));
    EXPECT_TRUE(Enabled(res::ShowEncryptedButton));
    EXPECT_FALSE(Enabled(res::AllFilesButton));

    app->ExecuteCommand(res::ShowEncryptedButton);
    EXPECT_EQ(Column(view, 2), QStringList({"Encrypted File"}));
    EXPECT_EQ(Column(view, 1), QStringList({"92 Bytes"}));
    frame->UpdateCommandStates();
    EXPECT_FALSE(Checked(res::AllFilesMenu));
    EXPECT_TRUE(Checked(res::EncryptedFilesMenu));
    EXPECT_FALSE(Enabled(res::ShowEncryptedButton));
    EXPECT_TRUE(Enabled(res::AllFilesButton));
    for (QAction* action : frame->ActionsFor(res::EncryptedFilesMenu)) EXPECT_TRUE(action->isChecked());
    for (QAction* action : frame->ActionsFor(res::AllFilesButton)) EXPECT_TRUE(action->isEnabled());

    app->ExecuteCommand(res::AllFilesMenu);
    EXPECT_EQ(Column(view, 0).size(), 6);
    EXPECT_FALSE(frame->FileEncryption().showEncryptedOnly);
}

TEST_F(FileListTest, ChoosingRowsSetsTheCommands) {
    struct Case {
        const char* row;
        bool encrypt;
        bool decrypt;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"a.txt", true, false, {}},
        {"alpha", false, false, {}},
        {"secret.~~~", false, true, {}},
        {"empty.dat", false, false, {"File is empty, can not encrypt"}},
    };
    for (const Case& entry : cases) {
        dialogs = std::make_unique<ScriptedDialogHost>();
        Choose(view, entry.row);
        EXPECT_EQ(Enabled(res::EncryptFileMenu), entry.encrypt) << entry.row;
        EXPECT_EQ(Enabled(res::EncryptFileButton), entry.encrypt) << entry.row;
        EXPECT_EQ(Enabled(res::DecryptFileMenu), entry.decrypt) << entry.row;
        EXPECT_EQ(Enabled(res::DecryptFileButton), entry.decrypt) << entry.row;
        EXPECT_EQ(Messages(), entry.messages) << entry.row;
    }
    // A folder leaves no file chosen.
    Choose(view, "beta");
    EXPECT_TRUE(frame->FileEncryption().selectedFilePath.empty());
}

TEST_F(FileListTest, AFileThatCannotBeOpenedKeepsThePreviousFlags) {
    Choose(view, "a.txt");
    ASSERT_TRUE(Enabled(res::EncryptFileMenu));
    // Listed, then gone before it is chosen: opening it fails.
    ASSERT_TRUE(QFile::remove(Path("b.txt")));
    Choose(view, "b.txt");
    EXPECT_TRUE(Enabled(res::EncryptFileMenu));
    EXPECT_FALSE(Enabled(res::DecryptFileMenu));
    EXPECT_EQ(frame->FileEncryption().selectedFilePath, QFile::encodeName(Path("b.txt")).toStdString());
    EXPECT_TRUE(Messages().empty()) << "a missing file shows no message";
}

TEST_F(FileListTest, LosingTheFocusClearsTheFlagsUntilARowIsChosenAgain) {
    Choose(view, "secret.~~~");
    ASSERT_TRUE(Enabled(res::DecryptFileMenu));
    QFocusEvent menu(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(view->ListView(), &menu);
    EXPECT_TRUE(Enabled(res::DecryptFileMenu)) << "opening a menu keeps the choice";
    QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(view->ListView(), &away);
    EXPECT_FALSE(Enabled(res::DecryptFileMenu));
    EXPECT_FALSE(Enabled(res::EncryptFileMenu));
    CShellListView* list = view->ListView();
    const QPoint at = list->visualItemRect(Row(view, "secret.~~~")).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &press);
    EXPECT_TRUE(Enabled(res::DecryptFileMenu)) << "pressing the chosen row chooses it again";
}

TEST_F(FileListTest, FoldersOnlyInTheTreeListedWhenOpened) {
    CSHellView* folders = view->TreeView();
    ASSERT_TRUE(folders->CurrentFolder().has_value());
    QTreeWidgetItem* current = folders->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0), "tree");
    EXPECT_EQ(current->childCount(), 0) << "not opened yet";
    current->setExpanded(true);
    ASSERT_EQ(current->childCount(), 2);
    EXPECT_EQ(current->child(0)->text(0), "alpha");
    EXPECT_EQ(current->child(1)->text(0), "beta");
    current->child(1)->setExpanded(true);
    EXPECT_EQ(current->child(1)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator) << "beta has no folders";
    folders->setCurrentItem(current->child(0));
    EXPECT_EQ(Column(view, 0), QStringList({"inner"}));
}

}  // namespace
}  // namespace tessarel::test
