// The frame's framework parts around its windows: the Window menu's list of open windows, the
// View > Toolbar choice across window changes, the "Recent File" placeholder and the lock-key
// indicators of the status bar.
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "AppFixture.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/LockKeyIndicators.h"
#include "framework/WindowListMenu.h"
#include "mainframe/CChildFrmFileView.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class FrameWindowsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }

    ChildFrame* Open(const QString& name) {
        MakeCardFile(Path(name), 2);
        Document* document = app->GetDocManager().OpenDocumentFile(Path(name));
        Settle();
        return document && !document->GetFrames().empty() ? document->GetFrames().front() : nullptr;
    }
    ChildFrame* EnterFileView() {
        dialogs->AnswerMessage(MessageAnswer::No);  // no file password now
        app->ExecuteCommand(res::FileView);
        Settle();
        return dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
    }
    // The menu of the shown menu bar called `title`.
    QMenu* MenuBarMenu(const QString& title) const {
        for (QAction* action : frame->menuBar()->actions())
            if (action->menu() && action->menu()->title() == title) return action->menu();
        return nullptr;
    }
    // The Window menu as the person opens it: its items' texts and check marks.
    struct Item {
        QString text;
        bool checked;
        bool operator==(const Item&) const = default;
    };
    std::vector<Item> OpenWindowMenu(QMenu*& menu) {
        frame->UpdateCommandStates();
        menu = MenuBarMenu("&Window");
        std::vector<Item> items;
        if (!menu) return items;
        emit menu->aboutToShow();
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) items.push_back({action->text(), action->isChecked()});
        return items;
    }
    QAction* WindowEntry(QMenu* menu, const QString& text) const {
        for (QAction* action : menu->actions())
            if (action->text() == text) return action;
        return nullptr;
    }
    bool ToolbarChecked() const {
        for (QAction* action : frame->ActionsFor(cmd::ViewToolbar)) return action->isChecked();
        return false;
    }
};

TEST_F(FrameWindowsTest, WindowMenuListsTheOpenWindowsNumberedWithTheActiveOneChecked) {
    ChildFrame* first = Open("first.qdf");
    ChildFrame* second = Open("second & more.qdf");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ChildFrame* files = EnterFileView();
    ASSERT_NE(files, nullptr);

    QMenu* menu = nullptr;
    // The file encryption view's menu has no Window menu; a card window's has.
    EXPECT_TRUE(OpenWindowMenu(menu).empty());
    EXPECT_EQ(menu, nullptr);
    frame->ActivateChild(second);
    Settle();
    EXPECT_EQ(OpenWindowMenu(menu), (std::vector<Item>{{"&Arrange Icons", false},
                                                       {"&1 first.qdf", false},
                                                       {"&2 second && more.qdf", true},
                                                       {"&3 File Encryption", false}}));
    ASSERT_NE(menu, nullptr);

    // Choosing the first window activates it, maximised as card windows always are.
    QAction* entry = WindowEntry(menu, "&1 first.qdf");
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    Settle();
    EXPECT_EQ(frame->GetActiveChild(), first);
    EXPECT_TRUE(first->isMaximized());
    EXPECT_EQ(OpenWindowMenu(menu)[1], (Item{"&1 first.qdf", true}));
    EXPECT_EQ(OpenWindowMenu(menu)[2], (Item{"&2 second && more.qdf", false}));

    // From the file encryption window (shown restored) back to a card window: maximised again.
    WindowEntry(menu, "&3 File Encryption")->trigger();
    Settle();
    ASSERT_EQ(frame->GetActiveChild(), files);
    dynamic_cast<CChildFrmFileView*>(files)->ShowAsFileView();
    EXPECT_FALSE(files->isMaximized());
    frame->ActivateChild(first);
    Settle();
    OpenWindowMenu(menu);
    WindowEntry(menu, "&2 second && more.qdf")->trigger();
    Settle();
    EXPECT_EQ(frame->GetActiveChild(), second);
    EXPECT_TRUE(second->isMaximized());

    // A closed window leaves the list (the file encryption window, entered from the second
    // file, closes with it); with no window left, the list is gone.
    second->CloseFrame();
    Settle();
    EXPECT_EQ(OpenWindowMenu(menu), (std::vector<Item>{{"&Arrange Icons", false}, {"&1 first.qdf", true}}));
    app->GetDocManager().CloseAllDocuments();
    Settle();
    EXPECT_EQ(MenuBarMenu("&Window"), nullptr) << "no document: menu 128 has no Window menu";
}

TEST_F(FrameWindowsTest, WindowListNumbersTheFirstNineOnly) {
    EXPECT_EQ(WindowListMenu::EntryText(0, "a.qdf"), "&1 a.qdf");
    EXPECT_EQ(WindowListMenu::EntryText(8, "i.qdf"), "&9 i.qdf");
    EXPECT_EQ(WindowListMenu::EntryText(9, "j.qdf"), "10 j.qdf");
}

TEST_F(FrameWindowsTest, TheToolbarChoiceHoldsWhenTheActiveWindowChanges) {
    ChildFrame* first = Open("first.qdf");
    ChildFrame* second = Open("second.qdf");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    frame->UpdateCommandStates();
    EXPECT_TRUE(ToolbarChecked());
    EXPECT_FALSE(frame->MainToolbar()->isHidden());

    ASSERT_TRUE(app->ExecuteCommand(cmd::ViewToolbar));
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->MainToolbar()->isHidden());
    EXPECT_FALSE(ToolbarChecked());

    // Activating another card window, the file encryption view and back, and print preview
    // ending: the toolbar stays as the person left it.
    frame->ActivateChild(first);
    Settle();
    EXPECT_TRUE(frame->MainToolbar()->isHidden());
    ASSERT_NE(EnterFileView(), nullptr);
    EXPECT_FALSE(frame->FileToolbar()->isHidden()) << "the file view has its own toolbar";
    app->ExecuteCommand(res::CardViewMenu);
    Settle();
    EXPECT_TRUE(frame->MainToolbar()->isHidden());
    frame->ActivateChild(second);
    Settle();
    frame->RestoreCardBars();
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->MainToolbar()->isHidden());
    EXPECT_FALSE(ToolbarChecked());

    // The bar's own menu is the same choice.
    frame->MainToolbar()->toggleViewAction()->trigger();
    frame->ActivateChild(first);
    Settle();
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->MainToolbar()->isHidden());
    EXPECT_TRUE(ToolbarChecked());
}

TEST_F(FrameWindowsTest, AnEmptyRecentFileListShowsTheGreyedPlaceholder) {
    ASSERT_EQ(app->GetDocManager().RecentFiles().Count(), 0);
    auto recentItems = [this] {
        frame->UpdateCommandStates();
        QMenu* file = MenuBarMenu("&File");
        std::vector<std::tuple<QString, bool, bool>> items;  // text, enabled, visible
        if (!file) return items;
        emit file->aboutToShow();
        for (QAction* action : file->actions()) {
            const int id = action->data().toInt();
            if (id >= cmd::FileMruFirst && id <= cmd::FileMruLast && action->isVisible())
                items.emplace_back(action->text(), action->isEnabled(), action->isVisible());
        }
        return items;
    };
    using Items = std::vector<std::tuple<QString, bool, bool>>;
    EXPECT_EQ(recentItems(), (Items{{"Recent File", false, true}})) << "menu 128, no document";

    ChildFrame* window = Open("cards.qdf");
    ASSERT_NE(window, nullptr);
    const Items listed = recentItems();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(std::get<0>(listed.front()), app->GetDocManager().RecentFiles().MenuText(0));
    EXPECT_TRUE(std::get<1>(listed.front()));

    // Emptied again (the entry's file is gone and was taken out): the placeholder is back, in
    // the card window's menu as well.
    app->GetDocManager().RecentFiles().Remove(0);
    EXPECT_EQ(recentItems(), (Items{{"Recent File", false, true}})) << "menu 129";
    window->CloseFrame();
    Settle();
    EXPECT_EQ(recentItems(), (Items{{"Recent File", false, true}})) << "menu 128 again";
}

// A key-state source of the test's own, set as a keyboard would set it.
class ScriptedLockKeys : public LockKeySource {
public:
    explicit ScriptedLockKeys(LockKeyStates& shared) : states(shared) {}
    LockKeyStates Read() override {
        ++reads;
        return states;
    }
    LockKeyStates& states;
    int reads = 0;
};

TEST_F(FrameWindowsTest, LockKeyIndicatorsShowTheKeysStateGreyedWhenOff) {
    QStatusBar* bar = frame->statusBar();
    auto pane = [bar](const char* name) { return bar->findChild<QLabel*>(QString::fromLatin1(name)); };
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        ASSERT_NE(pane(name), nullptr) << name;
        EXPECT_EQ(pane(name)->text(), QString::fromLatin1(name));
    }
    // Offscreen the platform reports no lock state: every pane greyed, and the tool tip says why.
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        EXPECT_FALSE(pane(name)->isEnabled()) << name;
        EXPECT_EQ(pane(name)->toolTip(), QString::fromLatin1(LockKeyIndicators::kUnreportedTip)) << name;
    }
    EXPECT_EQ(pane("CAP")->accessibleName(), "Caps Lock unknown");

    LockKeyIndicators* indicators = LockKeyIndicators::Of(*bar);
    ASSERT_NE(indicators, nullptr);
    LockKeyStates keys{true, false, false};
    indicators->SetSource(std::make_unique<ScriptedLockKeys>(keys));
    EXPECT_TRUE(pane("CAP")->isEnabled());
    EXPECT_FALSE(pane("NUM")->isEnabled());
    EXPECT_FALSE(pane("SCRL")->isEnabled());
    EXPECT_EQ(pane("CAP")->toolTip(), QString());
    EXPECT_EQ(pane("CAP")->accessibleName(), "Caps Lock on");
    EXPECT_EQ(pane("NUM")->accessibleName(), "Num Lock off");

    // A key the program sees makes it look again.
    keys = {false, true, true};
    QTest::keyClick(frame, Qt::Key_NumLock);
    Settle();
    EXPECT_FALSE(pane("CAP")->isEnabled());
    EXPECT_TRUE(pane("NUM")->isEnabled());
    EXPECT_TRUE(pane("SCRL")->isEnabled());

    // A lock changed in another program shows within the poll.
    keys = {true, true, false};
    QTest::qWait(LockKeyIndicators::kPollMilliseconds + 300);
    EXPECT_TRUE(pane("CAP")->isEnabled());
    EXPECT_FALSE(pane("SCRL")->isEnabled());

    // One key the platform does not report: that pane alone is greyed with the tip.
    keys = {std::nullopt, true, false};
    indicators->Refresh();
    EXPECT_FALSE(pane("CAP")->isEnabled());
    EXPECT_EQ(pane("CAP")->toolTip(), QString::fromLatin1(LockKeyIndicators::kUnreportedTip));
    EXPECT_TRUE(pane("NUM")->isEnabled());
}

}  // namespace
}  // namespace tessarel::test
