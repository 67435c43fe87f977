// The lock-key indicators against a real X server (CTest runs this binary under xvfb-run on the
// xcb platform): the program's status bar follows the locks the server keeps, set here through
// XKB as a keyboard would set them.
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include "AppFixture.h"
#include "framework/LockKeyIndicators.h"
#include "../support/MustRun.h"

// Xlib last: its macros (None, Bool, Status) would clash with the headers above.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tessarel::test {
namespace {

class XkbLockKeysTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        if (QGuiApplication::platformName() != QLatin1String("xcb") || qgetenv("DISPLAY").isEmpty())
            TESSAREL_SKIP_UNLESS_REQUIRED("needs the program on an X display (CTest runs it under xvfb-run)");
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        numLockMask = XkbKeysymToModifiers(display, XK_Num_Lock);
        SetLocks(0);
        ASSERT_TRUE(Start());
    }
    void TearDown() override {
        if (display) {
            SetLocks(0);
            XCloseDisplay(display);
        }
        AppFixture::TearDown();
    }
    void SetLocks(unsigned int locked) {
        XkbLockModifiers(display, XkbUseCoreKbd, LockMask | numLockMask, locked);
        XSync(display, False);
    }
    QLabel* Pane(const char* name) const { return frame->statusBar()->findChild<QLabel*>(QString::fromLatin1(name)); }

    Display* display = nullptr;
    unsigned int numLockMask = 0;
};

TEST_F(XkbLockKeysTest, TheStatusBarFollowsTheServersLocks) {
    ASSERT_NE(numLockMask, 0u) << "the server's keymap has a Num Lock modifier";
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        ASSERT_NE(Pane(name), nullptr) << name;
        // The server reports every lock here: no "not reported" tip, and all off.
        EXPECT_EQ(Pane(name)->toolTip(), QString()) << name;
        EXPECT_FALSE(Pane(name)->isEnabled()) << name;
    }
    // Changed outside the program (no key event reaches it): the poll sees it.
    SetLocks(LockMask);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Pane("CAP")->isEnabled(); }, 3 * LockKeyIndicators::kPollMilliseconds));
    EXPECT_FALSE(Pane("NUM")->isEnabled());
    EXPECT_EQ(Pane("CAP")->accessibleName(), "Caps Lock on");

    SetLocks(numLockMask);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Pane("NUM")->isEnabled() && !Pane("CAP")->isEnabled(); },
                                3 * LockKeyIndicators::kPollMilliseconds));
    SetLocks(0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !Pane("NUM")->isEnabled(); }, 3 * LockKeyIndicators::kPollMilliseconds));
}

}  // namespace
}  // namespace tessarel::test
