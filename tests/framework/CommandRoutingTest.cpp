// Routing: child frame, its active view, that view's document, main frame, application; the first
// handler wins, the first update handler decides the state, and a disabled command is not run.
#include <QAction>
#include <QMenu>
#include <QTest>
#include <string>

#include "TestDocuments.h"
#include "framework/CommandIds.h"

namespace tessarel::test {
namespace {

constexpr int kProbe = 40001;

class CommandRoutingTest : public FrameworkFixture {
protected:
    TextFrame* OpenChild() {
        Document* document = app->GetDocManager().OnFileNew();
        EXPECT_NE(document, nullptr);
        return static_cast<TextFrame*>(document->GetFrames().front());
    }
    std::string log;
    // Read by an update rule of the main frame, which asks its rules again while it is torn
    // down after the test body: a local of the test would be gone by then.
    bool probeAllowed = false;
};

TEST_F(CommandRoutingTest, FirstTargetOfTheChainWins) {
    TextFrame* child = OpenChild();
    auto* document = static_cast<TextDocument*>(child->GetDocument());
    child->SetActiveView(child->second);
    app->OnCommand(kProbe, [this] { log += "app "; });
    frame->OnCommand(kProbe, [this] { log += "frame "; });
    document->OnCommand(kProbe, [this] { log += "doc "; });
    child->second->OnCommand(kProbe, [this] { log += "view "; });
    child->first->OnCommand(kProbe, [this] { log += "other-view "; });
    child->OnCommand(kProbe, [this] { log += "child "; });

    EXPECT_TRUE(app->ExecuteCommand(kProbe));
    EXPECT_EQ(log, "child ");

    // Each target only sees what the ones before it leave.
    std::vector<std::string> expected{"view ", "doc ", "frame ", "app "};
    std::vector<CommandTarget*> chain = app->CommandChain();
    ASSERT_EQ(chain.size(), 5u);
    EXPECT_EQ(chain[0], child);
    EXPECT_EQ(chain[1], static_cast<CommandTarget*>(child->second));
    EXPECT_EQ(chain[2], static_cast<CommandTarget*>(document));
    EXPECT_EQ(chain[3], static_cast<CommandTarget*>(frame));
    EXPECT_EQ(chain[4], static_cast<CommandTarget*>(app.get()));
}

// A window that holds a command back (a locked card window) disables it for the whole chain, even
// where a later target would enable and run it; released, the chain decides again.
TEST_F(CommandRoutingTest, AWindowHoldingACommandBackDisablesItForTheChain) {
    TextFrame* child = OpenChild();
    frame->OnCommand(kProbe, [this] { log += "frame "; });
    frame->OnUpdate(kProbe, [](CommandState& state) { state.Enable(true); });
    child->heldBack = kProbe;
    EXPECT_FALSE(app->QueryCommand(kProbe).enabled);
    EXPECT_FALSE(app->ExecuteCommand(kProbe));
    EXPECT_TRUE(app->QueryCommand(cmd::NextPane).enabled) << "only the held command";
    child->heldBack = 0;
    EXPECT_TRUE(app->ExecuteCommand(kProbe));
    EXPECT_EQ(log, "frame ");
}

TEST_F(CommandRoutingTest, WithoutChildTheFrameAndApplicationRemain) {
    app->OnCommand(kProbe, [this] { log += "app "; });
    EXPECT_EQ(app->CommandChain().size(), 2u);
    EXPECT_TRUE(app->ExecuteCommand(kProbe));
    EXPECT_EQ(log, "app ");
    frame->OnCommand(kProbe, [this] { log += "frame "; });
    EXPECT_TRUE(app->ExecuteCommand(kProbe));
    EXPECT_EQ(log, "app frame ");
}

TEST_F(CommandRoutingTest, StateComesFromFirstUpdateHandlerOrFromHandlerPresence) {
    EXPECT_FALSE(app->QueryCommand(kProbe).enabled) << "no handler anywhere: disabled";
    app->OnCommand(kProbe, [this] { log += "ran "; });
    EXPECT_TRUE(app->QueryCommand(kProbe).enabled) << "a handler and no rule: enabled";

    TextFrame* child = OpenChild();
    auto* document = static_cast<TextDocument*>(child->GetDocument());
    bool allow = false;
    document->OnUpdate(kProbe, [&allow](CommandState& state) { state.Enable(allow); });
    frame->OnUpdate(kProbe, [](CommandState& state) { state.Enable(true); });
    EXPECT_FALSE(app->QueryCommand(kProbe).enabled) << "the document's rule comes before the frame's";
    EXPECT_FALSE(app->ExecuteCommand(kProbe)) << "a disabled command is not routed";
    EXPECT_EQ(log, "");
    allow = true;
    EXPECT_TRUE(app->ExecuteCommand(kProbe));
    EXPECT_EQ(log, "ran ");

    // A rule that only checks leaves enabling to the presence of a handler.
    constexpr int kCheckOnly = 40002;
    frame->OnUpdate(kCheckOnly, [](CommandState& state) { state.SetCheck(true); });
    CommandState checked = app->QueryCommand(kCheckOnly);
    EXPECT_TRUE(checked.checked);
    EXPECT_FALSE(checked.enabled);
}

TEST_F(CommandRoutingTest, ActionsCarryTheirIdAndFollowTheStates) {
    int runs = 0;
    frame->OnCommand(kProbe, [&runs] { ++runs; });
    frame->OnUpdate(kProbe, [this](CommandState& state) {
        state.Enable(probeAllowed);
        state.SetCheck(probeAllowed);
    });
    QAction* menuItem = frame->MakeAction(kProbe, "&Probe\tCtrl+Q");
    QAction* accelerator = frame->AddAccelerator(kProbe, QKeySequence("Ctrl+Q"));
    EXPECT_EQ(menuItem->data().toInt(), kProbe);
    EXPECT_EQ(accelerator->data().toInt(), kProbe);

    frame->UpdateCommandStates();
    EXPECT_FALSE(menuItem->isEnabled());
    accelerator->trigger();
    EXPECT_EQ(runs, 0) << "the accelerator is refused while the command is disabled";

    probeAllowed = true;
    frame->InvalidateCommandStates();
    Settle();
    EXPECT_TRUE(menuItem->isEnabled());
    EXPECT_TRUE(menuItem->isChecked());
    accelerator->trigger();
    menuItem->trigger();
    EXPECT_EQ(runs, 2);
}

TEST_F(CommandRoutingTest, AcceleratorKeysReachTheFrameWhileAChildIsOpen) {
    // A child window's own menu brings the platform's keys (Ctrl+W closes it here); the
    // frame's table must still own every key it lists.
    int runs = 0;
    frame->OnCommand(kProbe, [&runs] { ++runs; });
    frame->AddAccelerator(kProbe, QKeySequence("Ctrl+W"));
    TextFrame* child = OpenChild();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    Settle();
    QTest::keyClick(frame->focusWidget() ? frame->focusWidget() : frame, Qt::Key_W, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(child->isVisible()) << "the key closed the child window instead";
}

TEST_F(CommandRoutingTest, MenuSetFollowsTheActiveChildsTemplate) {
    auto* noDocument = new QMenu("&File", frame);
    auto* textMenu = new QMenu("&Edit", frame);
    frame->RegisterMenu(128, {noDocument});
    frame->RegisterMenu(129, {textMenu});
    frame->SetDefaultMenu(128);
    EXPECT_EQ(frame->CurrentMenu(), 128);
    TextFrame* child = OpenChild();
    Settle();
    EXPECT_EQ(frame->CurrentMenu(), 129);
    EXPECT_EQ(frame->windowTitle(), "Tester");
    child->close();
    Settle();
    EXPECT_EQ(frame->CurrentMenu(), 128);
    EXPECT_EQ(frame->windowTitle(), "Tester");
}

TEST_F(CommandRoutingTest, UpdateAllViewsSkipsTheSender) {
    TextFrame* child = OpenChild();
    child->GetDocument()->UpdateAllViews(child->first, 7);
    EXPECT_EQ(child->first->updates, 1) << "only the initial update";
    EXPECT_EQ(child->second->updates, 2);
    EXPECT_EQ(child->second->lastHint, 7);
}

TEST_F(CommandRoutingTest, NextPaneMovesTheActiveView) {
    TextFrame* child = OpenChild();
    child->SetActiveView(child->first);
    EXPECT_TRUE(app->ExecuteCommand(cmd::NextPane));
    EXPECT_EQ(child->GetActiveView(), child->second);
    EXPECT_TRUE(app->ExecuteCommand(cmd::NextPane));
    EXPECT_EQ(child->GetActiveView(), child->first);
}

}  // namespace
}  // namespace tessarel::test
