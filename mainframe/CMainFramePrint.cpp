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
    // The category tree prints the card file; the print commands reach the frame only when
    // another view of the card window is the active one, and go on to the tree.
    auto toTree = [this](int id) {
        return [this, id] {
            if (CTessarelView* tree = ActiveCardTree()) tree->RunCommand(id);
        };
    };
    Register(CommandTable{
        CommandRow::When(res::PrintPreview, [this] { OnPrintPreview(); }, printable),
        CommandRow::When(cmd::FilePrint, toTree(cmd::FilePrint), printable),
        CommandRow::When(cmd::FilePrintDirect, toTree(cmd::FilePrintDirect), printable),
        CommandRow::When(cmd::FilePrintPreview, toTree(cmd::FilePrintPreview), printable),
    });
}

void CMainFrame::OnPrintPreview() {
    CTessarelView* tree = ActiveCardTree();
    if (!tree) return;
    if (statusDialogBar) statusDialogBar->hide();
    if (mainToolbar) mainToolbar->hide();
    tree->OnFilePrintPreview();
}

}  // namespace tessarel
