#include "CChildFrame.h"

#include <QSplitter>
#include <QStackedWidget>
#include <algorithm>

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
    splitter = new QSplitter(Qt::Horizontal, stack);
    splitter->setChildrenCollapsible(false);
    tree = new CTessarelView(splitter);
    list = new CTessarelListView(splitter);
    splitter->addWidget(tree);
    splitter->addWidget(list);
    stack->addWidget(splitter);
    setWidget(stack);
    AddFrameView(tree);
    AddFrameView(list);
    SetActiveView(tree);
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
