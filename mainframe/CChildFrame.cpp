#include "CChildFrame.h"

#include <QSplitter>

#include "CMainFrame.h"
#include "framework/DocTemplate.h"
#include "resources/Resources.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"

namespace tessarel {

CChildFrame::CChildFrame(Document& doc, DocTemplate& owner) : ChildFrame(doc, owner) {
    setWindowIcon(ResourceIcon(owner.GetResourceId()));
}

bool CChildFrame::OnCreateClient() {
    splitter = MakePaneSplitter();
    // The views talk to the program's frame through its CardViewHost (none before it exists).
    CardViewHost* host = CMainFrame::Instance();
    tree = new CTessarelView(host, splitter);
    list = new CTessarelListView(host, splitter);
    ShowSideBySide(splitter, tree, list);
    return true;
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
