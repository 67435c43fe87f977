#include "Application.h"

#include "ChildFrame.h"
#include "CommandIds.h"
#include "DialogHost.h"
#include "Document.h"
#include "MdiFrame.h"
#include "View.h"

namespace tessarel {

namespace {
Application* theApplication = nullptr;
}

Application::Application(const QString& name) : title(name) {
    theApplication = this;
    SetApplicationTitle(name);
    Register(CommandTable{
        CommandRow::Always(cmd::FileNew, [this] { docManager.OnFileNew(); }),
        CommandRow::Always(cmd::FileOpen, [this] { docManager.OnFileOpen(); }),
        CommandRow::Always(cmd::AppExit, [this] {
            if (mainFrame) mainFrame->close();
        }),
    });
    Register(CommandRange(cmd::FileMruFirst, cmd::FileMruLast, [this](int id) { docManager.OpenRecentFile(id - cmd::FileMruFirst); },
                          [this](CommandState& state) { UpdateRecentFileItem(state); }));
}

void Application::UpdateRecentFileItem(CommandState& state) {
    RecentFileList& recent = docManager.RecentFiles();
    int index = state.id - cmd::FileMruFirst;
    if (recent.Count() == 0) {
        // The empty list shows its placeholder item, disabled.
        state.hidden = index != 0;
        state.text = QStringLiteral("Recent File");
        state.Enable(false);
        return;
    }
    state.hidden = index >= recent.Count();
    if (!state.hidden) state.text = recent.MenuText(index);
    state.Enable(!state.hidden);
}

Application::~Application() {
    if (theApplication == this) theApplication = nullptr;
}

Application* Application::Instance() { return theApplication; }

void Application::SetMainFrame(MdiFrame* frame) {
    mainFrame = frame;
    SetMessageOwnerWindow(frame);
}

std::vector<CommandTarget*> Application::CommandChain() const {
    std::vector<CommandTarget*> chain;
    if (mainFrame) {
        if (ChildFrame* child = mainFrame->GetActiveChild()) {
            chain.push_back(child);
            if (View* view = child->GetActiveView()) {
                chain.push_back(view);
                if (Document* document = view->GetDocument()) chain.push_back(document);
            } else if (Document* document = child->GetDocument()) {
                chain.push_back(document);
            }
        }
        chain.push_back(mainFrame);
    }
    chain.push_back(const_cast<Application*>(this));
    return chain;
}

CommandState Application::QueryCommand(int id) const {
    CommandState state;
    state.id = id;
    // The active window may hold a command back for a while; nothing else is asked then.
    if (ChildFrame* child = mainFrame ? mainFrame->GetActiveChild() : nullptr; child && child->HoldsBack(id)) {
        state.Enable(false);
        return state;
    }
    std::vector<CommandTarget*> chain = CommandChain();
    for (CommandTarget* target : chain) {
        if (target->UpdateCommand(state)) break;
    }
    if (!state.enableDecided) {
        state.enabled = false;
        for (CommandTarget* target : chain)
            if (target->HasHandler(id)) state.enabled = true;
    }
    return state;
}

bool Application::ExecuteCommand(int id) {
    // A command whose state says disabled is not routed, whatever sent it.
    if (!QueryCommand(id).enabled) return false;
    for (CommandTarget* target : CommandChain()) {
        if (target->RunCommand(id)) {
            InvalidateCommandStates();
            return true;
        }
    }
    return false;
}

bool Application::CloseAllForExit() {
    if (!docManager.SaveAllModified()) return false;
    docManager.CloseAllDocuments();
    docManager.RecentFiles().Save();
    return true;
}

void Application::InvalidateCommandStates() {
    if (mainFrame) mainFrame->InvalidateCommandStates();
}

}  // namespace tessarel
