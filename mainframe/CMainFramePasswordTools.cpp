// Card > Password Report... and the quick filter of the category tree (Ctrl+K).

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <optional>

#include "CMainFrame.h"
#include "CPasswordReportDlg.h"
#include "cardstore/document/CTessarelDoc.h"
#include "FrameResources.h"
#include "QuickFilterBar.h"
#include "cardstore/CardTime.h"
#include "framework/ChildFrame.h"
#include "cardstore/report/PasswordReport.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelView.h"
#include "views/CardTreeFilter.h"

namespace tessarel {
namespace {

struct ChosenCard {
    int code;
    int index;
};

// Shows the Password Report of the document; the card the person chose in it, if any. The
// strengths are estimated while the window is open, and its estimating threads are gone when
// this returns, before the chosen card can be edited.
std::optional<ChosenCard> ChooseCardInReport(CTessarelDoc& doc, QWidget* parent) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PasswordReport report = PasswordReport::MakeWithoutStrength(doc.Data(), CurrentCardTimeStamp());
    QApplication::restoreOverrideCursor();
    CPasswordReportDlg dialog(report, parent);
    if (dialog.DoModal() != QDialog::Accepted || dialog.chosenCode < 0) return std::nullopt;
    return ChosenCard{dialog.chosenCode, dialog.chosenIndex};
}

}  // namespace

void CMainFrame::RegisterPasswordTools() {
    Register(CommandTable{
        CommandRow::When(res::ShowPasswordReport, [this] { OnPasswordReport(); }, [this] { return ActiveCardTree() != nullptr; }),
        CommandRow::Updated(
            res::FocusQuickFilter,
            [this] {
                if (quickFilterBar) quickFilterBar->FocusText();
            },
            [this](CommandState& state) {
                const bool usable = ActiveCardTree() != nullptr;
                state.Enable(usable);
                // The field follows the command: closing the last card window turns both off.
                if (quickFilterBar) quickFilterBar->SetUsable(usable);
            }),
    });
}

QuickFilterBar* CMainFrame::BuildQuickFilterBar() {
    QAction* focus = MakeAction(res::FocusQuickFilter, QStringLiteral("Filter:"));
    focus->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    focus->setShortcutContext(Qt::WindowShortcut);
    focus->setToolTip(QStringLiteral("Quick Filter (Ctrl+K)"));
    focus->setStatusTip(StatusText(res::FocusQuickFilter));
    // On the window as well, so Ctrl+K works while the bar is hidden.
    addAction(focus);
    auto* bar = new QuickFilterBar(focus, this);
    connect(bar, &QuickFilterBar::filterChanged, this, &CMainFrame::ApplyQuickFilter);
    connect(bar, &QuickFilterBar::leaveRequested, this, [this] {
        if (CTessarelView* tree = ActiveCardTree()) tree->setFocus(Qt::ShortcutFocusReason);
    });
    // A filter belongs to the window in front: another window gets the same text, and the one
    // left behind shows all its cards again.
    connect(this, &MdiFrame::activeChildChanged, this, &CMainFrame::ApplyQuickFilter);
    bar->SetUsable(false);
    return bar;
}

void CMainFrame::ApplyQuickFilter() {
    if (!quickFilterBar) return;
    CTessarelView* tree = ActiveCardTree();
    if (filteredTree && filteredTree != tree) filteredTree->QuickFilter().Clear();
    filteredTree = tree;
    quickFilterBar->SetUsable(tree != nullptr);
    if (tree) tree->QuickFilter().SetFilter(quickFilterBar->Text(), quickFilterBar->SecretsToo());
}

bool CMainFrame::ShowFilteredCardCounts() {
    CTessarelView* tree = ActiveCardTree();
    if (!tree || !tree->QuickFilter().Active()) return false;
    tree->QuickFilter().ShowCounts();
    return true;
}

void CMainFrame::OnPasswordReport() {
    CTessarelDoc* doc = ActiveCardDocument();
    CTessarelView* tree = ActiveCardTree();
    if (!doc || !tree) return;
    const std::optional<ChosenCard> chosen = ChooseCardInReport(*doc, this);
    if (!chosen) return;
    // The chosen card may be one the quick filter hides.
    if (quickFilterBar && !quickFilterBar->Text().isEmpty()) quickFilterBar->TextEdit()->clear();
    QTreeWidgetItem* category = tree->GetCategoryItem(chosen->code);
    if (!category || !tree->FindCardItem(category, chosen->index)) return;
    tree->ExpandAndSelectCard(category, chosen->index);
    tree->setFocus();
    OnEditCard();
}

}  // namespace tessarel
