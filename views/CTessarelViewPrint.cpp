// Printing and print preview of the category tree view: the framework's loops drive these
// members, the card print layout places every text.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStandardPaths>

#include "CTessarelView.h"
#include "PainterPageCanvas.h"
#include "framework/CommandIds.h"
#include "CardViewHost.h"
#include "cardstore/document/CTessarelDoc.h"

namespace tessarel {

void CTessarelView::RegisterPrintCommands() {
    OnCommand(cmd::FilePrint, [this] { OnFilePrint(); });
    OnCommand(cmd::FilePrintDirect, [this] { OnFilePrintDirect(); });
    OnCommand(cmd::FilePrintPreview, [this] { OnFilePrintPreview(); });
}

CTessarelView* CTessarelView::CardTreeOf(const Document& document) {
    for (View* view : document.GetViews())
        if (auto* tree = dynamic_cast<CTessarelView*>(view)) return tree;
    return nullptr;
}

void CTessarelView::OnFilePrint() { RunPrintJob(*this, window()); }

int CTessarelView::OnFilePrintDirect(const QString& printerName) {
    const QString title = GetDocument() ? GetDocument()->GetTitle() : QString();
    return RunDirectPrint(*this, printerName, DirectPrintPdfPath(), title);
}

void CTessarelView::OnFilePrintPreview() { RunPrintPreview(*this, window()); }

QString CTessarelView::DirectPrintPdfPath() const {
    Document* owner = GetDocument();
    if (owner && !owner->GetPathName().isEmpty()) return owner->GetPathName() + QStringLiteral(".pdf");
    // A card file never saved has no folder of its own: the person's documents folder, else home.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    const QString title = owner && !owner->GetTitle().isEmpty() ? owner->GetTitle() : QStringLiteral("Untitled");
    return QDir(folder).filePath(title + QStringLiteral(".pdf"));
}

void CTessarelView::OnBeginPrinting(QPagedPaintDevice& device, PrintInfo& info) {
    PrintOptions options;
    // The host's print options; without a host, the settings' defaults.
    if (host) options = host->CurrentPrintOptions();
    CTessarelDoc* doc = Doc();
    if (!doc) {
        info.maxPage = 0;
        return;
    }
    printLayout.Begin(PainterPageCanvas::Measure(device), doc->Data(), options);
    info.maxPage = printLayout.PageCount();
}

void CTessarelView::OnPrint(QPainter& painter, PrintInfo& info) {
    PainterPageCanvas canvas(painter);
    const QString title = GetDocument() ? GetDocument()->GetTitle() : QString();
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    printLayout.DrawPage(canvas, info.currentPage, title, date);
}

void CTessarelView::OnEndPrinting(PrintInfo&) { printLayout.End(); }

void CTessarelView::OnEndPrintPreview(PrintInfo&) {
    printLayout.End();
    if (host) host->RestoreCardBars();
}

}  // namespace tessarel
