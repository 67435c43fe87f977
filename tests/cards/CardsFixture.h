#pragma once
// The real program offscreen with a new card file open and every dialog scripted: helpers that
// select categories and cards in the tree, fill the card dialog and click rows of the field list.

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "app/CTessarelApp.h"
#include "framework/ScriptedDialogHost.h"
#include "mainframe/CChildFrame.h"
#include "mainframe/CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"

namespace tessarel::test {

struct CardFields {
    QString name;
    QString second;
    QString third;
    QString password;
    QString note;
    bool automaticAccess = false;
};

class CardsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void Settle();
    QString Path(const QString& name) const { return folder.filePath(name); }

    CTessarelDoc* NewFile();
    CTessarelDoc* Doc() const { return frame->ActiveCardDocument(); }
    CChildFrame* Child() const;
    CTessarelView* Tree() const { return Child()->TreeView(); }
    CTessarelListView* List() const { return Child()->ListView(); }
    bool Run(int id);

    void SelectCategory(const QString& category);
    // Selects the card item shown under `category` with this text.
    void SelectCard(const QString& category, const QString& name);
    QString SelectedText() const;
    QStringList CardNames(const QString& category) const;
    // Scripts the next card dialog: its fields are replaced by `fields`, then OK.
    void FillCardDialog(const CardFields& fields);
    // New Card in `category` through the card dialog; returns the card made.
    CCard* AddCard(const QString& category, const CardFields& fields);
    CCard* AddCard(const QString& category, const QString& name) { return AddCard(category, CardFields{name, {}, {}, {}, {}}); }

    void MakeListActive();
    void MakeTreeActive();
    void ClickRow(int row);
    void DoubleClickRow(int row);
    void RightClickRow(int row);

    // The status dialog bar's two counts.
    QString CategoryCount() const;
    QString TotalCount() const;
    std::vector<std::string> Messages() const { return dialogs->MessageTexts(); }

    QTemporaryDir folder;
    std::unique_ptr<ScriptedDialogHost> dialogs;
    std::unique_ptr<CTessarelApp> app;
    CMainFrame* frame = nullptr;
};

}  // namespace tessarel::test
