#include "FileViewFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>

#include "filecrypt/CSHellView.h"
#include "filecrypt/CShellListView.h"
#include "framework/Dialog.h"
#include "mainframe/CFilePasswordDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {

void FileViewFixture::SetUp() {
    QSettings("Corvale", "Tessarel").clear();
    dialogs = std::make_unique<ScriptedDialogHost>();
    tree = folder.filePath("tree");
    ASSERT_TRUE(QDir().mkpath(Path("alpha/inner")));
    ASSERT_TRUE(QDir().mkpath(Path("beta")));
    WriteFile(Path("a.txt"), "first file, some bytes");
    WriteFile(Path("b.txt"), QByteArray(64, 'b'));
    WriteFile(Path("empty.dat"), {});
    app = std::make_unique<CTessarelApp>();
    app->SetDataHome(folder.filePath("data"));
    app->SetProgramPath("/opt/tessarel/bin/tessarel");
    ASSERT_TRUE(app->InitInstance({QStringLiteral("/Embedding")}));
    frame = app->MainFrame();
    Settle();
}

void FileViewFixture::TearDown() {
    if (app) {
        app->GetDocManager().CloseAllDocuments();
        Settle();
        app.reset();
    }
    Settle();
    dialogs.reset();
}

void FileViewFixture::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void FileViewFixture::WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray FileViewFixture::ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FileViewFixture::TypeFilePassword(const QString& first, const QString& second) {
    dialogs->RunDialog([first, second](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kFirstEdit))->setText(first);
        dialog.findChild<QLineEdit*>(QString::number(CFilePasswordDlg::kSecondEdit))->setText(second);
        return int(QDialog::Accepted);
    });
}

CChildFrmFileView* FileViewFixture::EnterView(bool setPassword) {
    if (!frame->ActiveCardDocument()) app->GetDocManager().OnFileNew();
    if (frame->FileEncryption().filePassword.empty()) {
        dialogs->AnswerMessage(setPassword ? MessageAnswer::Yes : MessageAnswer::No);
        if (setPassword) TypeFilePassword(kPassword, kPassword);
    }
    app->ExecuteCommand(res::FileView);
    Settle();
    return dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
}

void FileViewFixture::Browse(CChildFrmFileView* view, const QString& path) {
    ASSERT_TRUE(view->TreeView()->SelectFolderPath(path.isEmpty() ? tree : path));
}

QTreeWidgetItem* FileViewFixture::Row(CChildFrmFileView* view, const QString& name) {
    CShellListView* list = view->ListView();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == name) return list->topLevelItem(i);
    return nullptr;
}

void FileViewFixture::Choose(CChildFrmFileView* view, const QString& name) {
    QTreeWidgetItem* row = Row(view, name);
    ASSERT_NE(row, nullptr) << name.toStdString();
    view->ListView()->setCurrentItem(row);
}

QStringList FileViewFixture::Column(CChildFrmFileView* view, int column) {
    QStringList texts;
    CShellListView* list = view->ListView();
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
    return texts;
}

std::vector<CChildFrmFileView*> FileViewFixture::FileViewWindows() const {
    std::vector<CChildFrmFileView*> windows;
    for (ChildFrame* child : frame->GetChildren())
        if (auto* window = dynamic_cast<CChildFrmFileView*>(child)) windows.push_back(window);
    return windows;
}

}  // namespace tessarel::test
