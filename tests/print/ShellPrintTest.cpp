// The shell's print requests: [print("FILE")] and [printto("FILE","PRINTER","DRIVER","PORT")]
// reaching the running program, which prints the file without a dialog.
#include <QDir>
#include <QFileInfo>
#include <functional>

#include "PrintTestSupport.h"
#include "../app/AppFixture.h"
#include "app/ShellOpenServer.h"
#include "framework/Printing.h"
#include "mainframe/LockController.h"

namespace tessarel::test {
namespace {

using Request = ShellOpenServer::ShellRequest;
using Verb = Request::Verb;

TEST(ShellPrintCommandTest, PrintAndPrintToNameAFileAndAPrinter) {
    EXPECT_EQ(ShellOpenServer::PrintCommand("/tmp/a b.qdf"), QByteArray("[print(\"/tmp/a b.qdf\")]"));
    EXPECT_EQ(ShellOpenServer::PrintToCommand("/tmp/a.qdf", "Laser", "drv", "lp0"),
              QByteArray("[printto(\"/tmp/a.qdf\",\"Laser\",\"drv\",\"lp0\")]"));
    const std::pair<QByteArray, std::optional<Request>> cases[] = {
        {"[open(\"/tmp/x.qdf\")]", Request{Verb::Open, "/tmp/x.qdf", {}}},
        {"[print(\"/tmp/x.qdf\")]", Request{Verb::Print, "/tmp/x.qdf", {}}},
        {"[PRINT(\"x.qde\")]", Request{Verb::Print, "x.qde", {}}},
        {"[printto(\"/tmp/x.qdf\",\"Laser 2\",\"drv\",\"lp0\")]", Request{Verb::PrintTo, "/tmp/x.qdf", "Laser 2"}},
        // A name holding the separator keeps it: the printer, driver and port count from the end.
        {"[printto(\"/tmp/a\",\"b.qdf\",\"P\",\"D\",\"O\")]", Request{Verb::PrintTo, "/tmp/a\",\"b.qdf", "P"}},
        {"[printto(\"/tmp/x.qdf\",\"Laser\")]", std::nullopt},
        {"[printto(\"\",\"P\",\"D\",\"O\")]", std::nullopt},
        {"[print(\"\")]", std::nullopt},
        {"[print(\"x.qdf\")] ", std::nullopt},
        {QByteArray("[print(\"x\0y\")]", 15), std::nullopt},
        {"[close(\"x.qdf\")]", std::nullopt},
    };
    for (const auto& [command, expected] : cases) EXPECT_EQ(ShellOpenServer::ParseRequest(command), expected) << command.toStdString();
}

class ShellPrintTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        CCardFileData data;
        AddNumberedCards(data, 3);
        SaveFile(data, Path("shell.qdf"));
    }
    bool Send(const QByteArray& command) {
        const bool taken = app->ShellServer()->Execute(1, QStringLiteral("system"), command);
        Settle();
        return taken;
    }
};

TEST_F(ShellPrintTest, PrintRequestsPrintAFileThatWasNotOpenAndCloseIt) {
    for (const QByteArray& command : {ShellOpenServer::PrintCommand(Path("shell.qdf")),
                                      ShellOpenServer::PrintToCommand(Path("shell.qdf"), "No Such Printer", "drv", "port")}) {
        SCOPED_TRACE(command.toStdString());
        QFile::remove(Path("shell.qdf.pdf"));
        EXPECT_TRUE(Send(command));
        const QStringList pages = PdfPages(Path("shell.qdf.pdf"));
        ASSERT_EQ(pages.size(), 1);
        EXPECT_TRUE(pages[0].contains("card-0002"));
        EXPECT_TRUE(app->GetDocManager().GetDocuments().empty());
    }
    // A file that is not open is read from disk, so no question is asked.
    for (const auto& event : dialogs->Events()) EXPECT_NE(event.kind, ScriptedDialogHost::Kind::Message) << event.message.text;
    EXPECT_FALSE(Send("[close(\"x.qdf\")]"));
}

// Which printer a job went to: each printer writes a file of its own, so exactly one of them has
// the pages afterwards.
TEST_F(ShellPrintTest, PrintToChoosesTheNamedPrinterAndOtherwiseTheDefaultOne) {
    printers->Add("Laser 2", Path("laser.pdf"));
    printers->Add("Laser", Path("other.pdf"));
    printers->SetDefault(Path("default.pdf"));
    const QString file = Path("shell.qdf");
    const struct {
        const char* name;
        std::function<void()> request;
        QString chosen;
    } cases[] = {
        {"printto a known printer", [&] { Send(ShellOpenServer::PrintToCommand(file, "Laser 2", "drv", "port")); }, "laser.pdf"},
        {"printto no such printer", [&] { Send(ShellOpenServer::PrintToCommand(file, "No Such Printer", "drv", "port")); }, "default.pdf"},
        {"print", [&] { Send(ShellOpenServer::PrintCommand(file)); }, "default.pdf"},
        {"pt flag, a known printer", [&] { EXPECT_FALSE(Start({"/pt", file, "Laser 2", "drv", "port"})); }, "laser.pdf"},
        {"pt flag, no such printer", [&] { EXPECT_FALSE(Start({"/pt", file, "No Such Printer", "drv", "port"})); }, "default.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* output : {"laser.pdf", "other.pdf", "default.pdf", "shell.qdf.pdf"}) QFile::remove(Path(output));
        c.request();
        for (const char* output : {"laser.pdf", "other.pdf", "default.pdf", "shell.qdf.pdf"}) {
            if (c.chosen != output) {
                EXPECT_FALSE(QFileInfo::exists(Path(output))) << output;
                continue;
            }
            const QStringList pages = PdfPages(Path(output));
            ASSERT_EQ(pages.size(), 1) << output;
            EXPECT_TRUE(pages[0].contains("card-0002"));
        }
    }
    // Only a named printer is looked up, by the name exactly as the request gave it.
    EXPECT_EQ(printers->asked, QStringList({"Laser 2", "No Such Printer", "Laser 2", "No Such Printer"}));
}

// Any program of the user can send a print request; for a file already open, and so readable
// without its password, the person is asked first. Yes prints the document as it stands, unsaved
// changes included; No prints and writes nothing. Either way it stays open and unchanged.
TEST_F(ShellPrintTest, AnOpenFileIsPrintedOnlyWhenThePersonAgreesAndStaysOpen) {
    auto* document = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path("shell.qdf")));
    ASSERT_NE(document, nullptr);
    auto card = std::make_unique<CCard>();
    card->SetFieldText1("unsaved-card");
    document->GetCategoryList(0)->Add(std::move(card));
    document->SetModifiedFlag();
    const std::string question = "Another program asks to print the open card file \"" +
                                 QDir::toNativeSeparators(Path("shell.qdf")).toStdString() +
                                 "\", with its passwords in clear.\n\nPrint it?";
    for (const QByteArray& command : {ShellOpenServer::PrintCommand(Path("shell.qdf")),
                                      ShellOpenServer::PrintToCommand(Path("shell.qdf"), "No Such Printer", "drv", "port")}) {
        for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
            SCOPED_TRACE(command.toStdString() + (answer == MessageAnswer::Yes ? " yes" : " no"));
            QFile::remove(Path("shell.qdf.pdf"));
            const std::size_t shown = dialogs->Events().size();
            dialogs->AnswerMessage(answer);
            EXPECT_TRUE(Send(command));
            EXPECT_EQ(dialogs->PendingSteps(), 0u) << "the question was asked";
            ASSERT_EQ(dialogs->Events().size(), shown + 1);
            const Message& asked = dialogs->Events().back().message;
            EXPECT_EQ(asked.text, question);
            EXPECT_EQ(asked.caption, "Tessarel");
            EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
            EXPECT_EQ(asked.owner, MessageOwner::MainWindow);
            ASSERT_EQ(app->GetDocManager().GetDocuments().size(), 1u);
            EXPECT_EQ(app->GetDocManager().GetDocuments().front(), document);
            EXPECT_TRUE(document->IsModified()) << "the unsaved change is still there";
            if (answer == MessageAnswer::No) {
                EXPECT_FALSE(QFileInfo::exists(Path("shell.qdf.pdf"))) << "nothing written";
                continue;
            }
            const QStringList pages = PdfPages(Path("shell.qdf.pdf"));
            ASSERT_EQ(pages.size(), 1);
            EXPECT_TRUE(pages[0].contains("unsaved-card"));
        }
    }
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("\n").toStdString();
}

// A locked card file holds none of its cards; printing it would print an empty card file in its
// name.
// Another program's print request for it, under any name of the file, is refused with a word to
// the person before any question, and the document stays open and locked. The requests travel
// over the real local IPC, as a second start sends them.
TEST_F(ShellPrintTest, ALockedFileIsNotPrintedAndThePersonIsTold) {
    MakeCardFile(Path("safe.qde"), 3, 0, "longpassword");
    ASSERT_TRUE(QFile::link(Path("safe.qde"), Path("link.qde")));
    TypePassword("longpassword");
    auto* document = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path("safe.qde")));
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(frame->Locks().Lock(*document), LockController::Outcome::Locked);
    ShellOpenServer client(ShellOpenServer::ServiceNameOf(programPath), nullptr);
    for (const QByteArray& command : {ShellOpenServer::PrintCommand(Path("safe.qde")), ShellOpenServer::PrintCommand(Path("link.qde")),
                                      ShellOpenServer::PrintToCommand(Path("safe.qde"), "No Such Printer", "drv", "port")}) {
        SCOPED_TRACE(command.toStdString());
        const std::size_t shown = dialogs->Events().size();
        EXPECT_EQ(client.Offer(command), ShellOpenServer::HandOver::Taken) << "taken, and answered in this program";
        Settle();
        ASSERT_EQ(dialogs->Events().size(), shown + 1);
        const Message& told = dialogs->Events().back().message;
        EXPECT_EQ(told.text, "safe.qde is locked. Unlock it to print it.");
        EXPECT_EQ(told.caption, "Tessarel");
        EXPECT_EQ(told.buttons, MessageButtons::Ok);
        EXPECT_EQ(told.owner, MessageOwner::MainWindow);
        EXPECT_FALSE(QFileInfo::exists(Path("safe.qde.pdf"))) << "nothing printed";
        EXPECT_FALSE(QFileInfo::exists(Path("link.qde.pdf"))) << "nothing printed";
        ASSERT_EQ(app->GetDocManager().GetDocuments().size(), 1u);
        EXPECT_TRUE(frame->Locks().IsLocked(*document));
    }
    // The print path itself refuses it too, whoever calls it.
    EXPECT_EQ(app->PrintFile(Path("safe.qde"), {}), -1);
    EXPECT_FALSE(QFileInfo::exists(Path("safe.qde.pdf")));
    // An open request shows its locked window: no password is asked and no card comes back.
    const std::size_t shown = dialogs->Events().size();
    EXPECT_EQ(client.Offer(ShellOpenServer::OpenCommand(Path("safe.qde"))), ShellOpenServer::HandOver::Taken);
    Settle();
    EXPECT_EQ(dialogs->Events().size(), shown);
    EXPECT_EQ(ActiveDocument(), document);
    EXPECT_TRUE(frame->Locks().IsLocked(*document));
    EXPECT_FALSE(document->HasCards());
    EXPECT_TRUE(dialogs->Problems().isEmpty()) << dialogs->Problems().join("\n").toStdString();
}

// A document whose file was removed from the disk answers for its own name only: a request for
// another missing file neither asks about it nor prints it.
TEST_F(ShellPrintTest, AnOpenDocumentWithoutItsFileIsNotTakenForAnotherMissingFile) {
    Document* document = app->GetDocManager().OpenDocumentFile(Path("shell.qdf"));
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(QFile::remove(Path("shell.qdf")));
    Send(ShellOpenServer::PrintCommand(Path("missing.qdf")));
    for (const std::string& text : Messages()) EXPECT_EQ(text.find("shell.qdf"), std::string::npos) << text;
    EXPECT_FALSE(QFileInfo::exists(Path("shell.qdf.pdf")));
    EXPECT_FALSE(QFileInfo::exists(Path("missing.qdf.pdf")));
    ASSERT_EQ(app->GetDocManager().GetDocuments().size(), 1u);
    EXPECT_EQ(app->GetDocManager().GetDocuments().front(), document);
}

// The seam's answer to the print question, given after the document was locked meanwhile.
class LockingWhileAsked : public ScriptedDialogHost {
public:
    LockingWhileAsked(LockController& controller, CTessarelDoc& asked) : locks(controller), document(asked) {}
    MessageAnswer ShowMessage(const Message& message) override {
        if (message.buttons == MessageButtons::YesNo) locks.Lock(document);
        return ScriptedDialogHost::ShowMessage(message);
    }

private:
    LockController& locks;
    CTessarelDoc& document;
};

TEST_F(ShellPrintTest, AFileLockedWhileThePersonIsAskedIsNotPrinted) {
    MakeCardFile(Path("safe.qde"), 3, 0, "longpassword");
    TypePassword("longpassword");
    auto* document = dynamic_cast<CTessarelDoc*>(app->GetDocManager().OpenDocumentFile(Path("safe.qde")));
    ASSERT_NE(document, nullptr);
    LockingWhileAsked seam(frame->Locks(), *document);
    seam.AnswerMessage(MessageAnswer::Yes);
    EXPECT_TRUE(Send(ShellOpenServer::PrintCommand(Path("safe.qde"))));
    ASSERT_TRUE(frame->Locks().IsLocked(*document));
    EXPECT_EQ(seam.MessageTexts(), (std::vector<std::string>{
                                       "Another program asks to print the open card file \"" +
                                           QDir::toNativeSeparators(Path("safe.qde")).toStdString() +
                                           "\", with its passwords in clear.\n\nPrint it?",
                                       "safe.qde is locked. Unlock it to print it."}));
    EXPECT_FALSE(QFileInfo::exists(Path("safe.qde.pdf"))) << "nothing printed";
    EXPECT_TRUE(seam.Problems().isEmpty()) << seam.Problems().join("\n").toStdString();
}

}  // namespace
}  // namespace tessarel::test
