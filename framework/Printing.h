#pragma once
// The print and preview loops. A view that can print derives from Printable and supplies the
// page count and each page; the loops run the print dialog, the job, the direct print without a
// dialog, the preview and Print Setup. Pages are drawn on any paged device (a printer, or a PDF
// writer), so the same view code serves paper, files and the preview.

#include <QString>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace tessarel {

struct PrintInfo {
    QPagedPaintDevice* device = nullptr;
    bool preview = false;
    bool direct = false;  // no print dialog
    int maxPage = 0;      // set by OnBeginPrinting; 0 prints nothing
    int currentPage = 1;  // the page OnPrint draws, from 1
};

class Printable {
public:
    virtual ~Printable() = default;
    // The job starts: measure the device and count the pages into info.maxPage.
    virtual void OnBeginPrinting(QPagedPaintDevice& device, PrintInfo& info) = 0;
    // Draws page info.currentPage.
    virtual void OnPrint(QPainter& painter, PrintInfo& info) = 0;
    virtual void OnEndPrinting(PrintInfo& info) = 0;
    // The preview has closed.
    virtual void OnEndPrintPreview(PrintInfo& info) = 0;
};

// The program's printer: the choice of printer, paper and orientation carries over from job to
// job and Print Setup changes it. Pages are laid out on the whole sheet, at the printer's own
// resolution (600 dots per inch for a file).
QPrinter& AppPrinter();

// Print: the print dialog through the dialog seam, then the job on the chosen printer. Returns
// false when the person cancelled or the printer could not start.
bool RunPrintJob(Printable& target, QWidget* parent);

// Direct print, without a dialog: on the printer named `printerName` when it exists, else on the
// default printer. With no printer at all the pages go to the PDF file `pdfPath` instead
// (written beside and renamed over it when complete). Returns the page count printed, -1 when
// nothing could be written.
int RunDirectPrint(Printable& target, const QString& printerName, const QString& pdfPath, const QString& title);

// Print preview through the dialog seam; OnEndPrintPreview runs when it closes.
void RunPrintPreview(Printable& target, QWidget* parent);

// Print Setup through the dialog seam.
bool RunPrintSetup(QWidget* parent);

// Where direct printing finds its printers. The program asks the system; a test installs its own
// printers (PDF files it can read) and sees which one a job chose.
class PrinterLookup {
public:
    virtual ~PrinterLookup() = default;
    // The printer called `name`, with its own defaults, for one job; nullptr when there is none.
    virtual std::unique_ptr<QPrinter> Named(const QString& name) = 0;
    // The printer jobs go to when none is named, or when the named one does not exist; nullptr
    // when there is no printer that can put pages on paper.
    virtual QPrinter* Default() = 0;
};

// Installs `lookup` (nullptr restores the system's); returns the one it replaces (nullptr for
// the system's).
PrinterLookup* SetPrinterLookup(PrinterLookup* lookup);

// The job itself on an open device: begin printing, the pages, end printing. Returns the number
// of pages drawn; a job of no pages draws nothing and leaves the device untouched.
int PrintPages(Printable& target, QPagedPaintDevice& device, PrintInfo& info, int fromPage = 0, int toPage = 0);

}  // namespace tessarel
