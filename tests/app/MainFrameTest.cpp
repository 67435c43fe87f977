// The main frame: accelerators, menus, the enabling rules, the automatic save.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "AppFixture.h"
#include "framework/CommandIds.h"
#include "framework/Settings.h"
#include "mainframe/FrameResources.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class MainFrameTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }
};

TEST_F(MainFrameTest, AcceleratorTableIsExactlyTheListedOne) {
    std::map<QString, int> expected{
        {"Shift+A", 57604}, {"Ctrl+C", 57634}, {"Shift+C", 57602}, {"Ctrl+D", 32809}, {"Ctrl+E", 32814}, {"Ctrl+F", 57636},
        {"Ctrl+G", 1042},   {"Ctrl+N", 32808}, {"Alt+N", 57600},   {"Ctrl+O", 57601}, {"Ctrl+P", 57607}, {"Alt+P", 32827},
        {"R", 57606},       {"X", 57665},      {"Ctrl+X", 57635},  {"Ctrl+S", 57603}, {"Alt+S", 32828},  {"V", 32804},
        {"Ctrl+V", 57637},  {"Alt+Backspace", 57643}, {"Shift+Del", 57635}, {"F1", 57670}, {"Shift+F1", 57669},
        {"F6", 57680},      {"Shift+F6", 57681}, {"Ctrl+Ins", 57634}, {"Shift+Ins", 57637}, {"Ctrl+W", 32819},
        {"Ctrl+Shift+W", 32820}, {"Ctrl+Z", 57643},
        // File > Lock, added beside the original table.
        {"Ctrl+L", 34001}};
    std::map<QString, int> actual;
    for (const auto& [key, id] : frame->Accelerators()) actual[key.toString()] = id;
    EXPECT_EQ(actual, expected);
}

TEST_F(MainFrameTest, MenusCarryTheirCaptions) {
    auto titles = [this](int menuId) {
        QStringList list;
        for (QMenu* menu : frame->MenusOf(menuId)) list << menu->title();
        return list;
    };
    EXPECT_EQ(titles(res::MenuMain), QStringList({"&File", "&View", "&Help"}));
    EXPECT_EQ(titles(res::MenuPlainCard), QStringList({"&File", "&Edit", "&Card", "&Internet", "&View", "&Window", "&Help"}));
    EXPECT_EQ(titles(res::MenuEncryptedCard), QStringList({"&File", "&Edit", "Card", "Internet", "&View", "&Window", "&Help"}));
    QStringList edit;
    for (QAction* action : frame->MenusOf(res::MenuPlainCard)[1]->actions())
        if (!action->isSeparator()) edit << action->text();
    EXPECT_EQ(edit, QStringList({"&Undo\tCtrl+Z", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Find...\tCtrl+F ", "Preferences...\tAlt+P"}));
    QList<QAction*> tools = frame->MainToolbar()->actions();
    ASSERT_EQ(tools.size(), 27);
    EXPECT_EQ(tools[3]->data().toInt(), res::EncryptOnSaveButton);
    EXPECT_EQ(tools[12]->toolTip(), " Launch Browser");
    EXPECT_EQ(tools[17]->statusTip(), "Add a New Card To a Category");
}

TEST_F(MainFrameTest, RulesWithNoCardFileOpen) {
    frame->UpdateCommandStates();
    EXPECT_FALSE(Enabled(res::AddCardButton));
    EXPECT_TRUE(Enabled(res::NewCard)) << "Ctrl+N still reaches its handler";
    EXPECT_FALSE(Enabled(res::FindButton));
    EXPECT_TRUE(Enabled(cmd::EditFind));
    EXPECT_FALSE(Enabled(cmd::EditUndo));
    EXPECT_FALSE(Enabled(res::StandardView));
    EXPECT_FALSE(Enabled(res::EncryptOnSave));
    EXPECT_TRUE(Enabled(cmd::FileNew));
    EXPECT_TRUE(Enabled(cmd::FilePrintSetup));
    EXPECT_FALSE(frame->ActionsFor(res::AddCardButton).front()->isEnabled());
}

TEST_F(MainFrameTest, RulesFollowTheDocumentsCards) {
    struct Case {
        int cards;
        int deleted;
        bool enabled;
    };
    for (const Case& c : {Case{0, 0, false}, Case{0, 1, true}, Case{2, 0, true}}) {
        QString name = QStringLiteral("f%1%2.qdf").arg(c.cards).arg(c.deleted);
        MakeCardFile(Path(name), c.cards, c.deleted);
        if (c.cards + c.deleted == 0) {
            dialogs.reset();  // "Empty File !"
            dialogs = std::make_unique<ScriptedDialogHost>();
        }
        ASSERT_NE(app->GetDocManager().OpenDocumentFile(Path(name)), nullptr);
        Settle();
        for (int id : {res::EncryptOnSave, res::EncryptOnSaveButton, res::PrintPreview, cmd::FilePrint, cmd::FilePrintSetup,
                       cmd::FileSave, cmd::FileSaveAs, cmd::EditFind, res::FindButton})
            EXPECT_EQ(Enabled(id), c.enabled) << name.toStdString() << " id " << id;
        EXPECT_TRUE(Enabled(res::AddCardButton));
        app->GetDocManager().CloseAllDocuments();
        Settle();
    }
}

TEST_F(MainFrameTest, SelectionAndClipboardRules) {
    MakeCardFile(Path("cards.qdf"), 1);
    ASSERT_NE(app->GetDocManager().OpenDocumentFile(Path("cards.qdf")), nullptr);
    for (int id : {res::DeleteCard, res::EditCard, cmd::EditCut, res::CopyPasswordButton, res::LoadWebPage, cmd::EditPaste})
        EXPECT_FALSE(Enabled(id)) << id;
    frame->SetCardSelectedFlag(1);
    for (int id : {res::DeleteCard, res::EditCard, cmd::EditCut, res::CopyPasswordButton, res::LoadWebPage, cmd::EditCopy})
        EXPECT_TRUE(Enabled(id)) << id;
    frame->SetClipboardFull(1);
    EXPECT_TRUE(Enabled(cmd::EditPaste));
    frame->FileEncryption().showEncryptedOnly = true;
    EXPECT_TRUE(app->QueryCommand(res::EncryptedFilesMenu).checked);
    EXPECT_FALSE(app->QueryCommand(res::AllFilesMenu).checked);
    EXPECT_FALSE(Enabled(res::ShowEncryptedButton));
}

TEST_F(MainFrameTest, AutomaticSaveEveryThreeTicks) {
    WriteInt(setting::AutomaticSaveCheck, 1);
    WriteText(setting::AutomaticSave, "3");
    MakeCardFile(Path("cards.qdf"), 1);
    auto* document = static_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path("cards.qdf")));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(frame->AutoSaveInterval(), 60000) << "reading started the one-minute timer";
    EXPECT_EQ(frame->AutoSaveMinutes(), 3);
    QFile::remove(Path("cards.qdf"));
    frame->OnAutoSaveTick();
    frame->OnAutoSaveTick();
    EXPECT_FALSE(QFile::exists(Path("cards.qdf")));
    frame->OnAutoSaveTick();
    EXPECT_TRUE(QFile::exists(Path("cards.qdf"))) << "the third tick saves";
    QFile::remove(Path("cards.qdf"));
    frame->OnAutoSaveTick();
    EXPECT_FALSE(QFile::exists(Path("cards.qdf"))) << "the count starts again after a save";
    frame->OnAutoSaveTick();
    frame->OnAutoSaveTick();
    EXPECT_TRUE(QFile::exists(Path("cards.qdf")));
}

// The timer counts the minutes the Preferences sheet shows for the stored text (the minutes text
// read as C's atoi reads it), whatever the person typed there.
TEST_F(MainFrameTest, AutomaticSaveMinutesAreReadAsThePreferencesShowThem) {
    const std::pair<const char*, int> cases[] = {
        {"3", 3}, {"+4", 4}, {" 5 minutes", 5}, {"x5", 0}, {"\u00a05", 0}, {"99999999999", 2147483647}, {"-2", -2},
    };
    for (const auto& [text, minutes] : cases) {
        WriteText(setting::AutomaticSave, QString::fromUtf8(text));
        frame->StartAutoSaveTimer(1);
        EXPECT_EQ(frame->AutoSaveMinutes(), minutes) << text;
        EXPECT_EQ(frame->AutoSaveInterval(), 60000) << text;
    }
}

TEST_F(MainFrameTest, StatusDialogBarShowsCountsAndSaveStatus) {
    frame->ShowCardCounts(4, 2, 17);
    EXPECT_EQ(qobject_cast<QLabel*>(frame->GetStatusBarItem(res::ControlCardsInCategory))->text(), "4");
    EXPECT_EQ(qobject_cast<QLabel*>(frame->GetStatusBarItem(res::ControlTotalCards))->text(), "17");
    EXPECT_EQ(qobject_cast<QLabel*>(frame->GetStatusBarItem(res::ControlSaveStatusText))->text(), "(Not Encrypted)");
    frame->ShowSaveStatus(1);
    EXPECT_EQ(frame->GetStatusBarItem(res::ControlSaveStatusIcon)->property("iconNumber").toInt(), res::IconEncrypted);
    EXPECT_TRUE(frame->FileToolbar()->isHidden());
    EXPECT_TRUE(frame->FoldersBar()->isHidden());
}

}  // namespace
}  // namespace tessarel::test
