// A password on the real clipboard (offscreen platform): marked secret for clipboard managers,
// taken off after the delay unless something else was copied meanwhile, taken off when the
// application quits, and left alone when the delay is 0. A "second" lasts 20 ms here.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

#include "framework/SecretClipboard.h"
#include "framework/Settings.h"

namespace tessarel {
namespace {

using namespace std::chrono_literals;

constexpr auto kSecond = 20ms;

QClipboard* Clipboard() { return QApplication::clipboard(); }

// Runs the event loop for `duration`.
void Pump(std::chrono::milliseconds duration) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < duration.count()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class SecretClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings("Corvale", "Tessarel").clear();
        Clipboard()->clear();
        QObject::connect(&clipboard, &SecretClipboard::statusText, [this](const QString& text) { lines << text; });
    }
    void TearDown() override { QSettings("Corvale", "Tessarel").clear(); }

    SecretClipboard clipboard{kSecond};
    QStringList lines;
};

TEST_F(SecretClipboardTest, MarksThePasswordSecretForClipboardManagers) {
    ASSERT_TRUE(clipboard.Place("s3cr\u00e9t pw", 5));
    const QMimeData* data = Clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "s3cr\u00e9t pw");
    EXPECT_TRUE(data->hasFormat("x-kde-passwordManagerHint"));
    EXPECT_EQ(data->data("x-kde-passwordManagerHint"), "secret");
    EXPECT_TRUE(clipboard.StillOurs());
    EXPECT_EQ(lines, QStringList{"Password copied; the clipboard will be cleared in 5 seconds."});
}

TEST_F(SecretClipboardTest, TakesThePasswordOffAfterTheDelay) {
    ASSERT_TRUE(clipboard.Place("hunter2", 3));
    Pump(2 * kSecond);
    EXPECT_EQ(Clipboard()->text(), "hunter2") << "not before its time";
    EXPECT_TRUE(clipboard.ClearingPending());
    Pump(4 * kSecond);
    EXPECT_EQ(Clipboard()->text(), "");
    const QMimeData* left = Clipboard()->mimeData();
    EXPECT_TRUE(!left || left->formats().isEmpty()) << "nothing at all is left, the hint neither";
    EXPECT_FALSE(clipboard.ClearingPending());
    EXPECT_EQ(lines, QStringList({"Password copied; the clipboard will be cleared in 3 seconds.", "The clipboard was cleared."}));
}

TEST_F(SecretClipboardTest, LeavesWhatThePersonCopiedAfterThePassword) {
    ASSERT_TRUE(clipboard.Place("hunter2", 2));
    Clipboard()->setText("a note of my own");
    EXPECT_FALSE(clipboard.StillOurs());
    Pump(4 * kSecond);
    EXPECT_EQ(Clipboard()->text(), "a note of my own");
    EXPECT_EQ(lines.back(), "The clipboard was left as it is: something else was copied after the password.");

    // The same text put there by someone else is the password still: it goes.
    ASSERT_TRUE(clipboard.Place("hunter2", 2));
    Clipboard()->setText("hunter2");
    EXPECT_TRUE(clipboard.StillOurs());
    Pump(4 * kSecond);
    EXPECT_EQ(Clipboard()->text(), "");
}

TEST_F(SecretClipboardTest, ANewCopyStartsTheDelayAgain) {
    ASSERT_TRUE(clipboard.Place("first", 3));
    Pump(2 * kSecond);
    ASSERT_TRUE(clipboard.Place("second", 3));
    Pump(2 * kSecond);
    EXPECT_EQ(Clipboard()->text(), "second") << "the first delay does not clear the second password";
    Pump(3 * kSecond);
    EXPECT_EQ(Clipboard()->text(), "");
}

TEST_F(SecretClipboardTest, DelayOfTheSetting) {
    struct Case {
        const char* name;
        std::optional<int> stored;
        const char* line;
        bool pending;
    };
    const Case cases[] = {
        {"default", std::nullopt, "Password copied; the clipboard will be cleared in 10 seconds.", true},
        {"one", 1, "Password copied; the clipboard will be cleared in 1 second.", true},
        {"never", 0, "Password copied; the clipboard will not be cleared (Clear Clipboard Seconds is 0).", false},
        {"negative is never", -5, "Password copied; the clipboard will not be cleared (Clear Clipboard Seconds is 0).", false},
        {"at most a day", 1000000000, "Password copied; the clipboard will be cleared in 86400 seconds.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QSettings("Corvale", "Tessarel").clear();
        if (c.stored) WriteInt(setting::ClearClipboardSeconds, *c.stored);
        lines.clear();
        ASSERT_TRUE(clipboard.Place(QStringLiteral("pw")));
        EXPECT_EQ(lines, QStringList{c.line});
        EXPECT_EQ(clipboard.ClearingPending(), c.pending);
    }
}

TEST_F(SecretClipboardTest, ZeroNeverClears) {
    ASSERT_TRUE(clipboard.Place("kept", 0));
    Pump(10 * kSecond);
    EXPECT_EQ(Clipboard()->text(), "kept");
    EXPECT_EQ(Clipboard()->mimeData()->data("x-kde-passwordManagerHint"), "secret");
    EXPECT_EQ(lines.size(), 1);
}

// The program's instance clears when the application quits (the event loop's end), whatever
// delay is left, and leaves another program's text alone then.
TEST_F(SecretClipboardTest, TheSharedInstanceClearsWhenTheApplicationQuits) {
    const auto runAndQuit = [] {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QApplication::exec();
    };
    ASSERT_TRUE(SecretClipboard::Shared().Place("until the end", 600));
    EXPECT_EQ(Clipboard()->text(), "until the end");
    runAndQuit();
    EXPECT_EQ(Clipboard()->text(), "");
    EXPECT_FALSE(SecretClipboard::Shared().ClearingPending());

    // 0 never clears, not even at the end.
    ASSERT_TRUE(SecretClipboard::Shared().Place("kept", 0));
    runAndQuit();
    EXPECT_EQ(Clipboard()->text(), "kept");

    ASSERT_TRUE(SecretClipboard::Shared().Place("until the end", 600));
    Clipboard()->setText("someone else's");
    runAndQuit();
    EXPECT_EQ(Clipboard()->text(), "someone else's");
}

}  // namespace
}  // namespace tessarel
