// A browser that takes a request and does not answer: while the program waits it keeps
// painting, the "Message" window says what it waits for and how long still, and Cancel (or
// Escape) stops the wait at once, without an error box and without asking the browser more.
#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "BrowserCommandsFixture.h"
#include "browser/DdeInstance.h"
#include "framework/Settings.h"
#include "mainframe/BrowserWaitNotice.h"
#include "mainframe/CStatusMessageDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

// Counts the paint events of a window and its children.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window) : watched(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && object->isWidgetType() &&
            (object == watched || watched->isAncestorOf(static_cast<QWidget*>(object))))
            ++paints;
        return false;
    }

private:
    QWidget* watched;
};

class HungBrowserTest : public BrowserCommandsFixture {
protected:
    struct Seen {
        QStringList texts;     // the window's line, at first sight and after it changed
        bool modal = false;
        bool cancelShown = false;
        int paintsBefore = -1;
        int paintsAfter = -1;
    };
    // Runs Load Web Page against a browser that stalls; once the window has shown two lines,
    // `stop` ends the wait. Returns how long the command took.
    qint64 RunAndStop(Seen& seen, const std::function<void(CStatusMessageDlg&)>& stop) {
        PaintCounter counter(frame);
        QTimer person;
        person.setInterval(20);
        QObject::connect(&person, &QTimer::timeout, [&] {
            CStatusMessageDlg* window = nullptr;
            for (auto* candidate : frame->findChildren<CStatusMessageDlg*>())
                if (candidate->isVisible()) window = candidate;
            if (!window) return;
            if (seen.texts.isEmpty()) {
                seen.texts << window->Text();
                seen.modal = window->windowModality() == Qt::ApplicationModal;
                seen.cancelShown = window->CancelButton()->isVisible();
                frame->update();
                seen.paintsBefore = counter.paints;
                return;
            }
            if (window->Text() == seen.texts.front()) return;
            seen.texts << window->Text();
            seen.paintsAfter = counter.paints;
            person.stop();
            stop(*window);
        });
        person.start();
        QElapsedTimer took;
        took.start();
        EXPECT_TRUE(Run(res::LoadWebPage));
        person.stop();
        return took.elapsed();
    }
    void StartHungBrowser() {
        StartPeer({"--stall-ms", "6000"});
        WriteInt(setting::ChooseWebBrowser, 1);
        ASSERT_NE(AddWebCard("Slow", "http://slow.example/", "", "", false, false), nullptr);
    }
    // The seconds the line names, or -1 when it is not the waiting line for WWW_OpenURL.
    static int SecondsIn(const QString& line) {
        static const QRegularExpression pattern(
            QRegularExpression::anchoredPattern("Waiting for the web browser \\(Iexplore\\) to answer WWW_OpenURL: ([0-9]+) seconds left\\."));
        const QRegularExpressionMatch match = pattern.match(line);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
};

TEST_F(HungBrowserTest, TheMessageWindowSaysWhatItWaitsForAndCancelStopsTheWait) {
    StartHungBrowser();
    Seen seen;
    const qint64 took = RunAndStop(seen, [](CStatusMessageDlg& window) { QTest::mouseClick(window.CancelButton(), Qt::LeftButton); });
    ASSERT_EQ(seen.texts.size(), 2);
    const int first = SecondsIn(seen.texts[0]);
    EXPECT_GE(first, 55) << seen.texts[0].toStdString();
    EXPECT_LE(first, 60) << seen.texts[0].toStdString();
    EXPECT_LT(SecondsIn(seen.texts[1]), first) << seen.texts[1].toStdString();
    EXPECT_GE(SecondsIn(seen.texts[1]), 0) << seen.texts[1].toStdString();
    EXPECT_TRUE(seen.modal) << "the person can reach Cancel and nothing else";
    EXPECT_TRUE(seen.cancelShown);
    EXPECT_GT(seen.paintsAfter, seen.paintsBefore) << "the frame kept painting while it waited";

    // Cancel ends the wait at once (the browser stalls for 6 s), with no error box, and the
    // window goes with the command.
    EXPECT_LT(took, 5000);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(frame->StatusMessageWindow(), nullptr);
    for (auto* window : frame->findChildren<CStatusMessageDlg*>()) EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(TakeRequests(1), std::vector<std::string>{"REQUEST WWW_OpenURL \"http://slow.example/\",,4294967295,0,,,Quendal#"});
}

TEST_F(HungBrowserTest, EscapeStopsTheWaitToo) {
    StartHungBrowser();
    Seen seen;
    const qint64 took = RunAndStop(seen, [](CStatusMessageDlg& window) { QTest::keyClick(&window, Qt::Key_Escape); });
    EXPECT_EQ(seen.texts.size(), 2);
    EXPECT_LT(took, 5000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HungBrowserTest, ThePersonCanStillLetItRunOut) {
    StartHungBrowser();
    // A shorter time-out, so the wait runs out while the window shows.
    browser::DdeInstance::Current()->Ipc().SetTimeout(2500);
    Seen seen;
    RunAndStop(seen, [](CStatusMessageDlg&) {});
    browser::DdeInstance::Current()->Ipc().SetTimeout(browser::IpcInstance::DefaultTimeoutMs);
    EXPECT_EQ(seen.texts.size(), 2);
    EXPECT_EQ(SecondsIn(BrowserWaitNotice::Text({"Iexplore", "WWW_OpenURL", false, 2500}, 3)), 3);
    EXPECT_EQ(Messages(), std::vector<std::string>{"DATAACKTIMEOUT"});
    for (auto* window : frame->findChildren<CStatusMessageDlg*>()) EXPECT_FALSE(window->isVisible());
}

TEST_F(HungBrowserTest, TheLineNamesTheBrowserAndTheRequest) {
    EXPECT_EQ(BrowserWaitNotice::Text({"Netscape", "WWW_Activate", false, 60000}, 42),
              "Waiting for the web browser (Netscape) to answer WWW_Activate: 42 seconds left.");
    EXPECT_EQ(BrowserWaitNotice::Text({"Iexplore", "WWW_OpenURL", true, 60000}, 7),
              "Waiting for the web browser (Iexplore) to take up WWW_OpenURL: 7 seconds left.");
}

}  // namespace
}  // namespace tessarel::test
