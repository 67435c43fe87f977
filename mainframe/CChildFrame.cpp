#include "CChildFrame.h"

#include <QSplitter>
#include <QStackedWidget>
#include <algorithm>

#include "CMainFrame.h"
#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "resources/Resources.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"

namespace tessarel {

CChildFrame::CChildFrame(Document& doc, DocTemplate& owner) : ChildFrame(doc, owner) {
    setWindowIcon(ResourceIcon(owner.GetResourceId()));
}

bool CChildFrame::OnCreateClient() {
    // A stack, so that a locked pane can stand in for the views without destroying them.
    stack = new QStackedWidget(this);
    splitter = MakePaneSplitter();
    stack->addWidget(splitter);
    // The views talk to the program's frame through its CardViewHost (none before it exists).
    CardViewHost* host = CMainFrame::Instance();
    tree = new CTessarelView(host, splitter);
    list = new CTessarelListView(host, splitter);
    ShowSideBySide(splitter, tree, list, stack);
    return true;
}

void CChildFrame::ShowLockedPane(QWidget* pane, const std::vector<int>& heldBack) {
    HideLockedPane();
    if (!stack || !pane) return;
    lockedPane = pane;
    stack->addWidget(pane);
    stack->setCurrentWidget(pane);
    lockedCommands = heldBack;
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
}

bool CChildFrame::HoldsBack(int id) const {
    return lockedPane && std::find(lockedCommands.begin(), lockedCommands.end(), id) != lockedCommands.end();
}

void CChildFrame::HideLockedPane() {
    if (!lockedPane) return;
    lockedCommands.clear();
    stack->setCurrentWidget(splitter);
    stack->removeWidget(lockedPane);
    lockedPane->deleteLater();
    lockedPane = nullptr;
    if (auto* app = Application::Instance()) app->InvalidateCommandStates();
}

void CChildFrame::OnActivate() {
    // A card window always fills the frame's client area.
    if (!isMaximized()) showMaximized();
}

void CChildFrame::showEvent(QShowEvent* event) {
    ChildFrame::showEvent(event);
    if (sized || !splitter) return;
    sized = true;
    int width = splitter->width();
    splitter->setSizes({qMax(0, width - kListWidth), kListWidth});
}

}  // namespace tessarel
