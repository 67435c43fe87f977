// Every command a user can reach (menu items, toolbar buttons, keys) has a handler somewhere on
// the routing chain of the window that shows it, or is declared on purpose as a no-op or as a
// command nothing handles. A forgotten handler fails here instead of passing for an intended
// no-op, and no target of the program knows an id twice.
#include <QString>
#include <map>
#include <set>
#include <sstream>

#include "AppFixture.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/View.h"
#include "mainframe/CChildFrmFileView.h"
#include "mainframe/FrameResources.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

struct Reachable {
    int id;
    std::string where;  // "menu 129 \"&New Card\"", "toolbar 128", "key Ctrl+N"
};

std::vector<Reachable> MenuCommands(int menuId) {
    std::vector<Reachable> commands;
    for (const MenuDefinition& menu : MenuResource(menuId))
        for (const MenuItem& item : menu.items)
            if (item.id != 0) commands.push_back({item.id, "menu " + std::to_string(menuId) + " \"" + item.text + "\""});
    return commands;
}

std::vector<Reachable> ToolbarCommands(int toolbarId) {
    std::vector<Reachable> commands;
    for (const ToolbarButton& button : ToolbarResource(toolbarId))
        if (button.id != 0) commands.push_back({button.id, "toolbar " + std::to_string(toolbarId) + " \"" + button.tooltip + "\""});
    return commands;
}

std::vector<Reachable> KeyCommands() {
    std::vector<Reachable> commands;
    for (const Accelerator& key : AcceleratorTable()) commands.push_back({key.id, std::string("key ") + key.key});
    return commands;
}

class CommandCoverageTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }

    // Everything a command can reach while `child` is the active window: the window, each of its
    // views (any of them may have the focus), its document, the frame and the application.
    std::vector<CommandTarget*> ChainOf(ChildFrame* child) const {
        std::vector<CommandTarget*> chain;
        if (child) {
            chain.push_back(child);
            for (View* view : child->GetViews()) chain.push_back(view);
            chain.push_back(child->GetDocument());
        }
        chain.push_back(frame);
        chain.push_back(app.get());
        return chain;
    }

    // One window of every kind the program makes, by the menu it shows: no window (the main
    // menu), a card window of each card file type, and the file encryption view.
    std::map<int, std::vector<CommandTarget*>> ChainsByMenu() {
        std::map<int, std::vector<CommandTarget*>> chains{{res::MenuMain, ChainOf(nullptr)}};
        for (const auto& docTemplate : app->GetDocManager().GetTemplates()) {
            if (docTemplate->GetResourceId() == res::MenuFileView) continue;
            Document* document = docTemplate->OpenDocumentFile(QString());
            EXPECT_NE(document, nullptr) << "a new document of template " << docTemplate->GetResourceId();
            if (!document || document->GetFrames().empty()) continue;
            chains[docTemplate->GetResourceId()] = ChainOf(document->GetFrames().front());
        }
        Settle();
        EXPECT_TRUE(frame->EnterFileView());
        Settle();
        auto* fileView = dynamic_cast<CChildFrmFileView*>(frame->GetActiveChild());
        EXPECT_NE(fileView, nullptr);
        if (fileView) chains[res::MenuFileView] = ChainOf(fileView);
        return chains;
    }

    // The commands of `commands` that nothing on `chain` handles and that no target declares.
    static std::string Unhandled(const std::vector<Reachable>& commands, const std::vector<CommandTarget*>& chain) {
        std::ostringstream out;
        for (const Reachable& command : commands) {
            bool handled = false, declaredDisabled = false;
            for (CommandTarget* target : chain) {
                handled = handled || target->HasHandler(command.id);
                declaredDisabled = declaredDisabled || target->IsDeclaredDisabled(command.id);
            }
            if (!handled && !declaredDisabled)
                out << command.where << " (" << command.id << ") has no handler and is not declared a no-op or disabled\n";
            if (handled && declaredDisabled) out << command.where << " (" << command.id << ") is declared disabled but has a handler\n";
        }
        return out.str();
    }
};

TEST_F(CommandCoverageTest, EveryMenuToolbarAndKeyCommandIsHandledOrDeclared) {
    const std::map<int, std::vector<CommandTarget*>> chains = ChainsByMenu();
    for (int menuId : {res::MenuMain, res::MenuPlainCard, res::MenuEncryptedCard, res::MenuSealedCard, res::MenuFileView}) {
        auto chain = chains.find(menuId);
        ASSERT_NE(chain, chains.end()) << "no window shows menu " << menuId;
        EXPECT_EQ(Unhandled(MenuCommands(menuId), chain->second), "") << "menu " << menuId;
    }
    // The main toolbar and the keys serve every card window; the file toolbar the file view.
    for (int menuId : {res::MenuPlainCard, res::MenuEncryptedCard, res::MenuSealedCard}) {
        EXPECT_EQ(Unhandled(ToolbarCommands(res::ToolbarMain), chains.at(menuId)), "") << "card window of menu " << menuId;
        EXPECT_EQ(Unhandled(KeyCommands(), chains.at(menuId)), "") << "card window of menu " << menuId;
    }
    EXPECT_EQ(Unhandled(ToolbarCommands(res::ToolbarFile), chains.at(res::MenuFileView)), "");
}

TEST_F(CommandCoverageTest, NoTargetOfTheProgramKnowsAnIdTwice) {
    std::set<CommandTarget*> targets;
    for (const auto& [menuId, chain] : ChainsByMenu()) targets.insert(chain.begin(), chain.end());
    for (CommandTarget* target : targets) EXPECT_EQ(target->RefusedRegistrations(), std::vector<int>()) << typeid(*target).name();
}

TEST_F(CommandCoverageTest, DeclaredNoOpsAreEnabledAndDeclaredDisabledOnesAreNot) {
    frame->UpdateCommandStates();
    for (int id : {res::OpenNewWindow, res::AutomaticAccess}) {
        EXPECT_TRUE(frame->IsDeclaredNoOp(id)) << id;
        EXPECT_TRUE(Enabled(id)) << id;
        EXPECT_TRUE(app->ExecuteCommand(id)) << id;
    }
    for (int id : {cmd::EditUndo, res::StandardView, res::FindAgain, cmd::Help, cmd::ContextHelp}) {
        EXPECT_TRUE(frame->IsDeclaredDisabled(id)) << id;
        EXPECT_FALSE(Enabled(id)) << id;
        EXPECT_FALSE(app->ExecuteCommand(id)) << id;
    }
}

}  // namespace
}  // namespace tessarel::test
