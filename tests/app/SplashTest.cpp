// The splash window at start-up: it comes with the frame, before the reopened file; it steps
// aside for the password prompt, which gets every key; a key during the splash is swallowed even
// when it is an accelerator; once gone it takes no key or click.
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "app/CSplashWindow.h"
#include "framework/Settings.h"
#include "mainframe/dialogs/CDecryptPasswordDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

// Records the windows that are shown, by class, and the key and mouse presses a widget receives.
class Recorder : public QObject {
public:
    QStringList shownWindows;
    int keyPresses = 0;
    int mousePresses = 0;
    QObject* pressTarget = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            shownWindows << QString::fromLatin1(watched->metaObject()->className());
        if (watched == pressTarget && event->type() == QEvent::KeyPress) ++keyPresses;
        if (watched == pressTarget && event->type() == QEvent::MouseButtonPress) ++mousePresses;
        return false;
    }
};

class SplashTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        // Not the first start: no browser detection and its message.
        WriteInt(setting::FirstStartDone, 1);
        qApp->installEventFilter(&recorder);
    }
    void TearDown() override {
        qApp->removeEventFilter(&recorder);
        AppFixture::TearDown();
    }
    void StartActive() {
        ASSERT_TRUE(Start({}));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        recorder.pressTarget = frame;
    }
    bool PrintSetupAsked() const {
        for (const auto& event : dialogs->Events())
            if (event.kind == ScriptedDialogHost::Kind::PrintSetup) return true;
        return false;
    }
    Recorder recorder;
};

TEST_F(SplashTest, ComesWithTheFrameAndStepsAsideForThePasswordPrompt) {
    MakeCardFile(Path("vault.qde"), 2, 0, "secret-pw");
    WriteInt(setting::CheckOpenFiles, 1);
    WriteText(setting::RecentFile1, Path("vault.qde"));
    // Real dialogs: the prompt is shown as the person would see it.
    dialogs.reset();

    bool splashGoneAtPrompt = false;
    QString typed;
    QTimer person;
    person.setInterval(10);
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* prompt = qobject_cast<CDecryptPasswordDlg*>(QApplication::activeModalWidget());
        if (!prompt || !prompt->isVisible()) return;
        person.stop();
        splashGoneAtPrompt = CSplashWindow::Current() == nullptr;
        auto* edit = prompt->findChild<QLineEdit*>(QString::number(res::ControlDecryptPassword));
        ASSERT_NE(edit, nullptr);
        // Every key reaches the prompt, the first one too.
        QTest::keyClicks(edit, "secret-pw");
        typed = edit->text();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    person.start();
    ASSERT_TRUE(Start({}));
    person.stop();

    // The splash came up with the frame, before the reopened file asked for its password.
    const qsizetype splashAt = recorder.shownWindows.indexOf("tessarel::CSplashWindow");
    const qsizetype promptAt = recorder.shownWindows.indexOf("tessarel::CDecryptPasswordDlg");
    ASSERT_GE(splashAt, 0) << recorder.shownWindows.join(", ").toStdString();
    ASSERT_GE(promptAt, 0) << recorder.shownWindows.join(", ").toStdString();
    EXPECT_LT(splashAt, promptAt);
    EXPECT_TRUE(splashGoneAtPrompt) << "the splash never covers a password prompt";
    EXPECT_EQ(typed, "secret-pw");
    ASSERT_NE(ActiveDocument(), nullptr);
    EXPECT_EQ(ActiveDocument()->GetTitle(), "vault.qde");
}

TEST_F(SplashTest, AKeyDuringTheSplashIsSwallowedEvenAnAccelerator) {
    StartActive();
    ASSERT_NE(CSplashWindow::Current(), nullptr);
    // "R" alone is Print Setup.
    QTest::keyClick(frame, Qt::Key_R);
    Settle();
    EXPECT_EQ(CSplashWindow::Current(), nullptr);
    EXPECT_FALSE(PrintSetupAsked());
    EXPECT_EQ(recorder.keyPresses, 0);
    // The next key is the person's.
    QTest::keyClick(frame, Qt::Key_R);
    Settle();
    EXPECT_TRUE(PrintSetupAsked());
}

TEST_F(SplashTest, OnceGoneItTakesNoKeyOrClick) {
    StartActive();
    ASSERT_NE(CSplashWindow::Current(), nullptr);
    // Its second passes.
    QTest::qWait(CSplashWindow::kDisplayMilliseconds + 300);
    EXPECT_EQ(CSplashWindow::Current(), nullptr);
    QTest::mouseClick(frame, Qt::LeftButton);
    EXPECT_EQ(recorder.mousePresses, 1);
    QTest::keyClick(frame, Qt::Key_R);
    Settle();
    EXPECT_TRUE(PrintSetupAsked());
}

TEST_F(SplashTest, ASplashHiddenByOtherMeansTakesNoKey) {
    StartActive();
    CSplashWindow* splash = CSplashWindow::Current();
    ASSERT_NE(splash, nullptr);
    splash->hide();  // as a window manager may
    QTest::keyClick(frame, Qt::Key_B);
    Settle();
    EXPECT_EQ(CSplashWindow::Current(), nullptr);
    EXPECT_EQ(recorder.keyPresses, 1);
}

TEST_F(SplashTest, NoSplashForAFrameThatIsNeverShown) {
    MakeCardFile(Path("cards.qdf"), 1);
    EXPECT_FALSE(Start({"/p", Path("cards.qdf")}));
    EXPECT_FALSE(recorder.shownWindows.contains("tessarel::CSplashWindow"));
    EXPECT_EQ(CSplashWindow::Current(), nullptr);
}

}  // namespace
}  // namespace tessarel::test
