#include "PreviewPageCount.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

#include "Settings.h"

namespace tessarel {

namespace {

QPrintPreviewWidget* PreviewOf(const QPrintPreviewDialog& dialog) { return dialog.findChild<QPrintPreviewWidget*>(); }

}  // namespace

int PreviewPageCount::Stored() { return ReadInt(setting::PreviewPages) == 2 ? 2 : 1; }

void PreviewPageCount::Apply(QPrintPreviewDialog& dialog) {
    QPrintPreviewWidget* preview = PreviewOf(dialog);
    if (!preview) return;
    if (Stored() == 2)
        preview->setFacingPagesViewMode();
    else
        preview->setSinglePageViewMode();
}

int PreviewPageCount::Shown(const QPrintPreviewDialog& dialog) {
    const QPrintPreviewWidget* preview = PreviewOf(dialog);
    if (!preview) return 0;
    switch (preview->viewMode()) {
        case QPrintPreviewWidget::SinglePageView: return 1;
        case QPrintPreviewWidget::FacingPagesView: return 2;
        case QPrintPreviewWidget::AllPagesView: return 0;
    }
    return 0;
}

void PreviewPageCount::Remember(const QPrintPreviewDialog& dialog) {
    const int shown = Shown(dialog);
    // A person who never chose keeps 0, which reads as one page all the same.
    if (shown == 0 || shown == Stored()) return;
    WriteInt(setting::PreviewPages, shown);
}

}  // namespace tessarel
