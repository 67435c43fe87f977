#pragma once
// Starts the real program offscreen with every dialog scripted, and lays out a small folder tree
// to browse: two folders, two files with content, an empty file and an encrypted file.

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "app/CTessarelApp.h"
#include "framework/ScriptedDialogHost.h"
#include "mainframe/CChildFrmFileView.h"
#include "mainframe/CMainFrame.h"

class QTreeWidgetItem;

namespace tessarel::test {

inline constexpr const char* kPassword = "password1";

class FileViewFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void Settle();
    QString Path(const QString& name) const { return tree + QLatin1Char('/') + name; }
    static void WriteFile(const QString& path, const QByteArray& bytes);
    static QByteArray ReadFile(const QString& path);

    // Scripts the next Set File Encryption Password dialog: two entries, then OK.
    void TypeFilePassword(const QString& first, const QString& second);
    // Opens a new card window and uses File View on it, answering the password question.
    CChildFrmFileView* EnterView(bool setPassword);
    // Selects the tree folder in the view's tree, which lists it.
    void Browse(CChildFrmFileView* view, const QString& path = {});
    // Chooses the row named `name` in the view's list.
    void Choose(CChildFrmFileView* view, const QString& name);
    static QTreeWidgetItem* Row(CChildFrmFileView* view, const QString& name);
    static QStringList Column(CChildFrmFileView* view, int column);

    bool Enabled(int id) const { return app->QueryCommand(id).enabled; }
    bool Checked(int id) const { return app->QueryCommand(id).checked; }
    std::vector<std::string> Messages() const { return dialogs->MessageTexts(); }
    std::vector<CChildFrmFileView*> FileViewWindows() const;

    QTemporaryDir folder;
    QString tree;
    std::unique_ptr<ScriptedDialogHost> dialogs;
    std::unique_ptr<CTessarelApp> app;
    CMainFrame* frame = nullptr;
};

}  // namespace tessarel::test
