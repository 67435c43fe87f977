#pragma once
// Starts the real application object offscreen with every dialog scripted, file types registered
// into a private data folder, and card files made through the card store.

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "app/CTessarelApp.h"
#include "cardstore/CCardFileData.h"
#include "framework/ScriptedDialogHost.h"
#include "mainframe/CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "../support/TestPrinters.h"

namespace tessarel::test {

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the application with `arguments`; returns what start-up returned.
    bool Start(const QStringList& arguments = {QStringLiteral("/Embedding")});
    static void Settle();
    QString Path(const QString& name) const { return folder.filePath(name); }

    // A card file on disk: `cards` live cards in "WWW Sites", `deleted` deleted ones.
    void MakeCardFile(const QString& path, int cards, int deleted = 0, const std::string& password = {});
    // Scripts the next Decryption Password dialog.
    void TypePassword(const QString& password);
    // Scripts the next Encrypt On Save dialog.
    void FillEncryptOnSave(bool encrypt, const QString& password, const QString& confirmation, QString* shownPassword = nullptr);

    CTessarelDoc* ActiveDocument() const;
    std::vector<std::string> Messages() const { return dialogs->MessageTexts(); }
    bool Enabled(int id) const { return app->QueryCommand(id).enabled; }

    QTemporaryDir folder;
    QString dataHome;
    QString programPath{"/opt/tessarel/bin/tessarel"};  // what the desktop entry names
    std::unique_ptr<ScriptedDialogHost> dialogs;
    std::unique_ptr<TestPrinters> printers;
    std::unique_ptr<CTessarelApp> app;
    CMainFrame* frame = nullptr;
};

}  // namespace tessarel::test
