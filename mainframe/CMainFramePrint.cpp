// The frame's part of printing: its own Print Preview command (32804), and the print commands of
// a card window when its field list, not its category tree, has the focus.
#include <QToolBar>

#include "CMainFrame.h"
#include "cardstore/document/CTessarelDoc.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelView.h"

namespace tessarel {

CTessarelView* CMainFrame::ActiveCardTree() const {
    CTessarelDoc* document = ActiveCardDocument();
    return document ? CTessarelView::CardTreeOf(*document) : nullptr;
}

void CMainFrame::RegisterPrintCommands() {
    auto printable = [this] {
        CTessarelDoc* document = ActiveCardDocument();
        return document && document->HasCards() && ActiveCardTree();
    };
    OnCommand(res::PrintPreview, [this] { OnPrintPreview(); });
    OnUpdate(res::PrintPreview, [printable](CommandState& state) { state.Enable(printable()); });
    // The category tree prints the card file; these reach the frame only when another view of
    // the card window is the active one, and go on to the tree.
    for (int id : {cmd::FilePrint, cmd::FilePrintDirect, cmd::FilePrintPreview}) {
        OnCommand(id, [this, id] {
            if (CTessarelView* tree = ActiveCardTree()) tree->RunCommand(id);
        });
        OnUpdate(id, [printable](CommandState& state) { state.Enable(printable()); });
    }
}

void CMainFrame::OnPrintPreview() {
    CTessarelView* tree = ActiveCardTree();
    if (!tree) return;
    if (statusDialogBar) statusDialogBar->hide();
    if (mainToolbar) mainToolbar->hide();
    tree->OnFilePrintPreview();
}

}  // namespace tessarel
