// The program's print commands offscreen: Print through the (scripted) print dialog into a PDF
// file, the frame's Print Preview with its bars, Print Setup, and the "p" and "pt" start-up
// flags. Every PDF is read back page by page.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QToolBar>
#include <sys/stat.h>

#include "PrintTestSupport.h"
#include "../app/AppFixture.h"
#include "framework/ChildFrame.h"
#include "framework/CommandIds.h"
#include "framework/Dialog.h"
#include "framework/Printing.h"
#include "mainframe/CChildFrame.h"
#include "resources/ResourceIds.h"
#include "views/CTessarelListView.h"
#include "views/CTessarelView.h"

namespace tessarel::test {
namespace {

class PrintAppTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
    }

    CTessarelDoc* Open(CCardFileData& data, const QString& name) {
        SaveFile(data, Path(name));
        auto* document = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path(name)));
        Settle();
        return document;
    }
    CTessarelView* Tree() const { return ActiveDocument() ? CTessarelView::CardTreeOf(*ActiveDocument()) : nullptr; }

    // Scripts the next print dialog to print into `pdf`.
    void PrintInto(const QString& pdf) {
        dialogs->AnswerPrintDialog([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
    }
    // Cards per page with notes, as the PDF printer lays them out.
    int CardsPerPage() {
        CCardFileData one;
        AddNumberedCards(one, 1);
        EXPECT_NE(Open(one, "one.qdf"), nullptr);
        PrintInto(Path("one.pdf"));
        app->ExecuteCommand(cmd::FilePrint);
        const int perPage = Tree()->PrintLayout().CardsPerPage();
        app->GetDocManager().CloseAllDocuments();
        Settle();
        return perPage;
    }
};

// Each card "card-NNNN" of `count` is on page index / perPage + 1 and on no other.
void ExpectCardsPageByPage(const QStringList& pages, int count, int perPage) {
    for (int i = 0; i < count; ++i) {
        const QString name = QString::asprintf("card-%04d", i);
        for (int page = 0; page < pages.size(); ++page)
            EXPECT_EQ(pages[page].contains(name), page == i / perPage) << name.toStdString() << " page " << page + 1;
    }
}

TEST_F(PrintAppTest, PrintWritesEveryCardPageByPage) {
    const int perPage = CardsPerPage();
    ASSERT_GE(perPage, 2);
    struct Case {
        int cards;
        int pages;
    };
    // Exactly twice a page's cards: two pages. One more: a third page with that card alone.
    for (const Case& c : {Case{2 * perPage, 2}, Case{2 * perPage + 1, 3}}) {
        SCOPED_TRACE(c.cards);
        CCardFileData data;
        AddNumberedCards(data, c.cards);
        const QString name = QStringLiteral("cards%1.qdf").arg(c.cards);
        ASSERT_NE(Open(data, name), nullptr);
        const QString pdf = Path(name + ".printed.pdf");
        PrintInto(pdf);
        app->ExecuteCommand(cmd::FilePrint);
        EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
        EXPECT_EQ(PdfPageCount(pdf), c.pages);
        const QStringList pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), c.pages);
        ExpectCardsPageByPage(pages, c.cards, perPage);
        for (int page = 0; page < c.pages; ++page) {
            EXPECT_TRUE(pages[page].contains("Tessarel"));
            EXPECT_TRUE(pages[page].contains(name)) << "the header's title";
            EXPECT_TRUE(pages[page].contains("WWW Sites"));
        }
        // Passwords in clear, notes under "Notes".
        EXPECT_TRUE(pages[0].contains("pw-card-0000"));
        EXPECT_TRUE(pages[0].contains("Notes"));
        EXPECT_TRUE(pages[0].contains("note of card-0000"));
        EXPECT_TRUE(Tree()->PrintLayout().PrintCards().empty()) << "the job lets the cards go";
        app->GetDocManager().CloseAllDocuments();
        Settle();
    }
}

// The printed pages hold every password in clear: a PDF chosen in the print dialog is owner-only
// whatever the umask, also when it replaces a readable file, and is written whole or not at all.
TEST_F(PrintAppTest, APdfFromThePrintDialogIsOwnerOnly) {
    CCardFileData data;
    AddNumberedCards(data, 3);
    ASSERT_NE(Open(data, "owner.qdf"), nullptr);
    const mode_t oldMask = ::umask(022);
    for (const bool replacing : {false, true}) {
        SCOPED_TRACE(replacing);
        const QString pdf = Path(replacing ? "old.pdf" : "new.pdf");
        if (replacing) {
            QFile old(pdf);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("an older readable file");
            old.close();
            ASSERT_TRUE(QFile::setPermissions(pdf, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                       QFile::ReadOther));
        }
        PrintInto(pdf);
        app->ExecuteCommand(cmd::FilePrint);
        EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
        EXPECT_EQ(QFileInfo(pdf).permissions() & 0x0077, QFileDevice::Permissions());
        EXPECT_GE(PdfPageCount(pdf), 1);
        EXPECT_TRUE(PdfPages(pdf).value(0).contains("pw-card-0000"));
    }
    ::umask(oldMask);
    EXPECT_EQ(QDir(QFileInfo(Path("new.pdf")).absolutePath()).entryList({"*.pdf*"}, QDir::Files).size(), 2)
        << "no scratch file left";
}

TEST_F(PrintAppTest, PrintOptionsOfTheFrameShapeTheJob) {
    CCardFileData data;
    AddCard(data, {9, "cash-card", "4711", "pin note"});
    AddCard(data, {0, "web-site", "pw", "web note"});
    ASSERT_NE(Open(data, "options.qdf"), nullptr);
    struct Case {
        int printAtm;
        int printNotes;
        bool atm;
    };
    for (const Case& c : {Case{1, 1, true}, Case{0, 1, false}, Case{1, 0, true}}) {
        SCOPED_TRACE(testing::Message() << "atm " << c.printAtm << " notes " << c.printNotes);
        frame->SetPrintOptions(PrintOptions{c.printAtm, c.printNotes});
        const QString pdf = Path(QStringLiteral("options%1%2.pdf").arg(c.printAtm).arg(c.printNotes));
        PrintInto(pdf);
        app->ExecuteCommand(cmd::FilePrint);
        const QStringList pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), 1);
        EXPECT_EQ(pages[0].contains("ATM/PIN Cards"), c.atm);
        EXPECT_EQ(pages[0].contains("4711"), c.atm);
        EXPECT_TRUE(pages[0].contains("web-site"));
        EXPECT_EQ(pages[0].contains("web note"), c.printNotes == 1);
    }
    // Only ATM cards and "Print ATM" 0: nothing to print, no pages, no file.
    CCardFileData atmOnly;
    AddCard(atmOnly, {9, "only-atm"});
    ASSERT_NE(Open(atmOnly, "atm.qdf"), nullptr);
    frame->SetPrintOptions(PrintOptions{0, frame->CurrentPrintOptions().printNotes});
    PrintInto(Path("atm.pdf"));
    app->ExecuteCommand(cmd::FilePrint);
    EXPECT_EQ(Tree()->PrintLayout().PageCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(Path("atm.pdf")));
}

TEST_F(PrintAppTest, ThePreferencesDecideWhatTheNextJobPrints) {
    CCardFileData data;
    AddCard(data, {9, "cash-card", "4711", "pin note"});
    AddCard(data, {0, "web-site", "pw", "web note"});
    ASSERT_NE(Open(data, "prefs.qdf"), nullptr);
    struct Case {
        bool confirm;     // OK (true) or Cancel
        bool checkBoxes;  // tick both boxes of the Printing page before confirming
        bool printed;     // ATM card and notes in the job after the sheet
    };
    // Nothing stored yet: both print. The sheet shows both boxes cleared, so OK without changes
    // turns both off; Cancel keeps that; ticking them turns both on again.
    const Case cases[] = {{false, false, true}, {true, false, false}, {false, true, false}, {true, true, true}};
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(run);
        dialogs->RunDialog([c](Dialog& sheet) {
            if (c.checkBoxes) {
                sheet.findChild<QCheckBox*>("1060")->setChecked(true);
                sheet.findChild<QCheckBox*>("1062")->setChecked(true);
            }
            return c.confirm ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        app->ExecuteCommand(res::Preferences);
        const QString pdf = Path(QStringLiteral("prefs%1.pdf").arg(run++));
        PrintInto(pdf);
        app->ExecuteCommand(cmd::FilePrint);
        const QStringList pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), 1);
        EXPECT_EQ(pages[0].contains("cash-card"), c.printed);
        EXPECT_EQ(pages[0].contains("web note"), c.printed);
        EXPECT_TRUE(pages[0].contains("web-site"));
    }
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(PrintAppTest, PrintReachesTheTreeFromTheFieldListAndCancelPrintsNothing) {
    CCardFileData data;
    AddNumberedCards(data, 3);
    ASSERT_NE(Open(data, "focus.qdf"), nullptr);
    auto* child = dynamic_cast<CChildFrame*>(frame->GetActiveChild());
    ASSERT_NE(child, nullptr);
    child->SetActiveView(child->ListView());
    PrintInto(Path("focus.pdf"));
    app->ExecuteCommand(cmd::FilePrint);
    EXPECT_EQ(PdfPageCount(Path("focus.pdf")), 1);

    dialogs->AnswerPrintDialog([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("cancelled.pdf"));
        return false;
    });
    app->ExecuteCommand(cmd::FilePrint);
    EXPECT_FALSE(QFileInfo::exists(Path("cancelled.pdf")));
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("; ").toStdString();
}

TEST_F(PrintAppTest, FramePreviewHidesTheBarsAndShowsThePrintedPages) {
    CCardFileData data;
    AddNumberedCards(data, 9);
    ASSERT_NE(Open(data, "preview.qdf"), nullptr);
    ASSERT_TRUE(Enabled(res::PrintPreview));
    bool hiddenDuringPreview = false;
    dialogs->ShowPrintPreview([&](QPrinter& printer) {
        hiddenDuringPreview = frame->StatusDialogBar()->isHidden() && frame->MainToolbar()->isHidden();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("preview.pdf"));
        return true;
    });
    app->ExecuteCommand(res::PrintPreview);
    EXPECT_TRUE(hiddenDuringPreview);
    EXPECT_FALSE(frame->StatusDialogBar()->isHidden());
    EXPECT_FALSE(frame->MainToolbar()->isHidden());
    EXPECT_TRUE(Tree()->PrintLayout().PrintCards().empty());

    // The preview's pages are the printed ones.
    PrintInto(Path("printed.pdf"));
    app->ExecuteCommand(cmd::FilePrint);
    const QStringList printed = PdfPages(Path("printed.pdf"));
    ASSERT_FALSE(printed.isEmpty());
    EXPECT_EQ(PdfPages(Path("preview.pdf")), printed);
}

TEST_F(PrintAppTest, PrintSetupLandscapeKeepsEveryCardAboveTheFooter) {
    CCardFileData data;
    AddNumberedCards(data, 30);
    ASSERT_NE(Open(data, "wide.qdf"), nullptr);
    dialogs->AnswerPrintSetup([](QPrinter& printer) { return printer.setPageOrientation(QPageLayout::Landscape); });
    app->ExecuteCommand(cmd::FilePrintSetup);
    PrintInto(Path("wide.pdf"));
    app->ExecuteCommand(cmd::FilePrint);
    AppPrinter().setPageOrientation(QPageLayout::Portrait);

    const CardPrintLayout& layout = Tree()->PrintLayout();
    EXPECT_GT(layout.PageWidth(), layout.PageHeight());
    const int perPage = layout.CardsPerPage();
    ASSERT_GT(perPage, 0);
    const int lastCardBottom = layout.MarginRect().top + 3 * layout.CharWidth() + 9 * (perPage - 1) * layout.LineHeight() +
                               8 * layout.LineHeight();
    EXPECT_LE(lastCardBottom, layout.MarginRect().bottom - CardPrintLayout::kFooterRise);
    const QStringList pages = PdfPages(Path("wide.pdf"));
    EXPECT_EQ(pages.size(), (30 + perPage - 1) / perPage);
    ExpectCardsPageByPage(pages, 30, perPage);
}

TEST_F(PrintAppTest, PrintFlagsPrintTheFileAndEnd) {
    const int perPage = CardsPerPage();
    CCardFileData data;
    AddNumberedCards(data, perPage + 1);
    SaveFile(data, Path("direct.qdf"));
    struct Case {
        QStringList arguments;
    };
    for (const Case& c : {Case{{"/p", Path("direct.qdf")}}, Case{{"/pt", Path("direct.qdf"), "No Such Printer", "drv", "port"}}}) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QFile::remove(Path("direct.qdf.pdf"));
        EXPECT_FALSE(Start(c.arguments)) << "the program ends after printing";
        EXPECT_TRUE(app->GetDocManager().GetDocuments().empty());
        const QStringList pages = PdfPages(Path("direct.qdf.pdf"));
        ASSERT_EQ(pages.size(), 2);
        ExpectCardsPageByPage(pages, perPage + 1, perPage);
        EXPECT_TRUE(pages[1].contains("direct.qdf")) << pages[1].toStdString();
        // The pages carry every password in clear: only the owner may read them.
        EXPECT_EQ(QFileInfo(Path("direct.qdf.pdf")).permissions() & 0x0077, QFileDevice::Permissions());
    }
    // A file that cannot be opened prints nothing.
    EXPECT_FALSE(Start({"/p", Path("missing.qdf")}));
    EXPECT_FALSE(QFileInfo::exists(Path("missing.qdf.pdf")));
}

TEST_F(PrintAppTest, DirectPrintOfAFileWithOnlyDeletedCardsWritesNoFile) {
    CCardFileData data;
    AddCard(data, {0, "deleted", "pw", "", true});
    ASSERT_NE(Open(data, "deleted.qdf"), nullptr);
    EXPECT_TRUE(Enabled(cmd::FilePrint)) << "a deleted card still counts for the rule";
    EXPECT_EQ(Tree()->OnFilePrintDirect(), 0);
    EXPECT_FALSE(QFileInfo::exists(Path("deleted.qdf.pdf")));
}

}  // namespace
}  // namespace tessarel::test
