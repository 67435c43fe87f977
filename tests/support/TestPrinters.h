#pragma once
// The printers a test machine has: none unless the test adds some. Each one writes its pages as
// a PDF file of its own, so a test reads which printer a job chose and what it printed; every
// name asked for is recorded.

#include <QPrinter>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>

#include "framework/Printing.h"

namespace tessarel::test {

class TestPrinters : public PrinterLookup {
public:
    TestPrinters() : previous(SetPrinterLookup(this)) {}
    ~TestPrinters() override { SetPrinterLookup(previous); }
    TestPrinters(const TestPrinters&) = delete;
    TestPrinters& operator=(const TestPrinters&) = delete;

    // A printer called `name` whose pages land in `pdfPath`.
    void Add(const QString& name, const QString& pdfPath) { named[name] = pdfPath; }
    // The default printer, whose pages land in `pdfPath`.
    void SetDefault(const QString& pdfPath) { defaultPrinter = FilePrinter(pdfPath); }

    std::unique_ptr<QPrinter> Named(const QString& name) override {
        asked << name;
        const auto found = named.find(name);
        return found == named.end() ? nullptr : FilePrinter(found->second);
    }
    QPrinter* Default() override { return defaultPrinter.get(); }

    QStringList asked;

private:
    static std::unique_ptr<QPrinter> FilePrinter(const QString& pdfPath) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfPath);
        return printer;
    }

    std::map<QString, QString> named;
    std::unique_ptr<QPrinter> defaultPrinter;
    PrinterLookup* previous;
};

}  // namespace tessarel::test
