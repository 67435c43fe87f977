#include "Printing.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>

#include "DialogHost.h"
#include "core/AtomicFileWriter.h"
#include "core/SecureBuffer.h"

namespace tessarel {

namespace {

// A file has no resolution of its own; 600 dots per inch is what common printers offer, so the
// layout's device-unit distances come out alike on paper and in a file.
constexpr int kFileResolution = 600;

void PrepareForJob(QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPrintRange(QPrinter::AllPages);
}

// A printer that can put ink on paper: a real one, not Qt's file output without a file.
bool IsPaperPrinter(QPrinter& printer) { return printer.outputFormat() == QPrinter::NativeFormat && printer.isValid(); }

// The system's printers, as Qt knows them.
class SystemPrinters : public PrinterLookup {
public:
    std::unique_ptr<QPrinter> Named(const QString& name) override {
        const QPrinterInfo named = QPrinterInfo::printerInfo(name);
        if (named.isNull()) return nullptr;
        return std::make_unique<QPrinter>(named, QPrinter::HighResolution);
    }
    QPrinter* Default() override { return IsPaperPrinter(AppPrinter()) ? &AppPrinter() : nullptr; }
};

PrinterLookup* installedPrinters = nullptr;

PrinterLookup& Printers() {
    static SystemPrinters system;
    return installedPrinters ? *installedPrinters : system;
}

int PrintOnPrinter(Printable& target, QPrinter& printer, PrintInfo& info) {
    PrepareForJob(printer);
    return PrintPages(target, printer, info);
}

int PrintToPdf(Printable& target, const QString& pdfPath, const QString& title, PrintInfo& info, int fromPage = 0,
               int toPage = 0) {
    // The pages hold passwords in clear: they are built in memory, written through the one
    // atomic writer (owner-only, flushed, renamed into place) and the memory is wiped after.
    QByteArray pdf;
    int pages = 0;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kFileResolution);
        QPageLayout layout = AppPrinter().pageLayout();
        layout.setMode(QPageLayout::FullPageMode);
        writer.setPageLayout(layout);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Tessarel"));
        pages = PrintPages(target, writer, info, fromPage, toPage);
    }
    // A job of no pages leaves no file behind, and a failed one leaves the old file as it was.
    bool written = true;
    if (pages > 0) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(pdf.constData());
        written = WriteFileAtomically(QFile::encodeName(pdfPath).toStdString(),
                                      std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(pdf.size())), nullptr,
                                      FileAccess::OwnerOnly);
    }
    SecureWipe(pdf.data(), static_cast<std::size_t>(pdf.size()));
    if (pages <= 0) return pages;
    return written ? pages : -1;
}

}  // namespace

QPrinter& AppPrinter() {
    // Lives as long as the process: Qt's printer must not outlive the application object in a
    // static destructor, and the settings it holds matter until the very end.
    static QPrinter* printer = [] {
        auto* made = new QPrinter(QPrinter::HighResolution);
        made->setFullPage(true);
        if (made->outputFormat() == QPrinter::PdfFormat) made->setResolution(kFileResolution);
        return made;
    }();
    return *printer;
}

PrinterLookup* SetPrinterLookup(PrinterLookup* lookup) {
    PrinterLookup* previous = installedPrinters;
    installedPrinters = lookup;
    return previous;
}

int PrintPages(Printable& target, QPagedPaintDevice& device, PrintInfo& info, int fromPage, int toPage) {
    info.device = &device;
    info.maxPage = 0;
    target.OnBeginPrinting(device, info);
    const int first = std::max(fromPage, 1);
    const int last = toPage > 0 ? std::min(toPage, info.maxPage) : info.maxPage;
    int printed = 0;
    if (first <= last) {
        QPainter painter;
        if (!painter.begin(&device)) {
            target.OnEndPrinting(info);
            return -1;
        }
        for (int page = first; page <= last; ++page) {
            if (page > first) device.newPage();
            info.currentPage = page;
            painter.save();
            target.OnPrint(painter, info);
            painter.restore();
            ++printed;
        }
        painter.end();
    }
    target.OnEndPrinting(info);
    return printed;
}

bool RunPrintJob(Printable& target, QWidget* parent) {
    QPrinter& printer = AppPrinter();
    PrepareForJob(printer);
    if (!Dialogs().RunPrintDialog(printer, parent)) return false;
    printer.setFullPage(true);
    PrintInfo info;
    const bool range = printer.printRange() == QPrinter::PageRange;
    const int from = range ? printer.fromPage() : 0;
    const int to = range ? printer.toPage() : 0;
    // A file chosen in the dialog holds the passwords in clear: written as direct printing writes
    // one (owner-only, through the atomic writer), not by Qt's file output with the umask's mode.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return PrintToPdf(target, printer.outputFileName(), printer.docName(), info, from, to) >= 0;
    return PrintPages(target, printer, info, from, to) >= 0;
}

int RunDirectPrint(Printable& target, const QString& printerName, const QString& pdfPath, const QString& title) {
    PrintInfo info;
    info.direct = true;
    // A printer named by the shell is used for this job only, with its own defaults.
    if (!printerName.isEmpty())
        if (std::unique_ptr<QPrinter> named = Printers().Named(printerName)) return PrintOnPrinter(target, *named, info);
    if (QPrinter* fallback = Printers().Default()) return PrintOnPrinter(target, *fallback, info);
    return PrintToPdf(target, pdfPath, title, info);
}

void RunPrintPreview(Printable& target, QWidget* parent) {
    QPrinter& printer = AppPrinter();
    PrepareForJob(printer);
    Dialogs().RunPrintPreview(printer, parent, [&target](QPrinter& shown) {
        PrintInfo info;
        info.preview = true;
        shown.setFullPage(true);
        PrintPages(target, shown, info);
    });
    PrintInfo info;
    info.preview = true;
    target.OnEndPrintPreview(info);
}

bool RunPrintSetup(QWidget* parent) { return Dialogs().RunPrintSetup(AppPrinter(), parent); }

}  // namespace tessarel
