// The "Security" page of the Preferences sheet through its real widgets: the table's defaults on
// a first run, stored values shown and edits stored, out-of-range values, and keyboard access.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "app/CPrefPropertySheet.h"
#include "app/CSecurityPage.h"
#include "framework/ScriptedDialogHost.h"
#include "framework/Settings.h"
#include "PrefSheetFixture.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

class SecurityPageTest : public PrefSheetFixture {};

TEST_F(SecurityPageTest, FirstRunShowsTheDefaultsAndOkStoresThem) {
    RunSheet([](CPrefPropertySheet& sheet) {
        EXPECT_EQ(sheet.tabs().indexOf(&sheet.securityPage()), 4);
        QWidget& page = sheet.securityPage();
        auto* clipboard = Control<QSpinBox>(page, res::ControlClearClipboardSeconds);
        auto* lock = Control<QSpinBox>(page, res::ControlLockAfterMinutes);
        EXPECT_EQ(clipboard->value(), 10);
        EXPECT_EQ(clipboard->minimum(), 0);
        EXPECT_EQ(clipboard->maximum(), 3600);
        EXPECT_EQ(lock->value(), 0);
        EXPECT_EQ(lock->text(), "Never");
        EXPECT_TRUE(Control<QCheckBox>(page, res::ControlLockWithSession)->isChecked());
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ReadInt(setting::ClearClipboardSeconds), 10);
    EXPECT_EQ(ReadInt(setting::LockAfterMinutes), 0);
    EXPECT_EQ(ReadInt(setting::LockWithSession), 1);
    EXPECT_TRUE(host.Problems().isEmpty());
}

TEST_F(SecurityPageTest, StoredValuesAreShownAndEditsStored) {
    WriteInt(setting::ClearClipboardSeconds, 0);
    WriteInt(setting::LockAfterMinutes, 15);
    WriteInt(setting::LockWithSession, 0);
    RunSheet([](CPrefPropertySheet& sheet) {
        QWidget& page = sheet.securityPage();
        auto* clipboard = Control<QSpinBox>(page, res::ControlClearClipboardSeconds);
        auto* lock = Control<QSpinBox>(page, res::ControlLockAfterMinutes);
        auto* session = Control<QCheckBox>(page, res::ControlLockWithSession);
        EXPECT_EQ(clipboard->text(), "Never");
        EXPECT_EQ(lock->value(), 15);
        EXPECT_FALSE(session->isChecked());
        clipboard->setValue(45);
        lock->stepBy(-15);
        session->click();
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ReadInt(setting::ClearClipboardSeconds), 45);
    EXPECT_EQ(ReadInt(setting::LockAfterMinutes), 0);
    EXPECT_EQ(ReadInt(setting::LockWithSession), 1);
}

TEST_F(SecurityPageTest, ValuesOutsideTheRangeAreShownClampedAndCancelKeepsThem) {
    WriteInt(setting::ClearClipboardSeconds, 99999);
    WriteInt(setting::LockAfterMinutes, -4);
    RunSheet([](CPrefPropertySheet& sheet) {
        QWidget& page = sheet.securityPage();
        EXPECT_EQ(Control<QSpinBox>(page, res::ControlClearClipboardSeconds)->value(), CSecurityPage::kMaxClipboardSeconds);
        EXPECT_EQ(Control<QSpinBox>(page, res::ControlLockAfterMinutes)->text(), "Never");
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(ReadInt(setting::ClearClipboardSeconds), 99999);
    EXPECT_EQ(ReadInt(setting::LockAfterMinutes), -4);
    EXPECT_FALSE(SettingExists(setting::LockWithSession));
}

TEST_F(SecurityPageTest, EveryControlIsReachedByItsMnemonic) {
    RunSheet([](CPrefPropertySheet& sheet) {
        QWidget& page = sheet.securityPage();
        // Each spin box has a label with a mnemonic whose buddy it is.
        for (int id : {res::ControlClearClipboardSeconds, res::ControlLockAfterMinutes}) {
            QWidget* spin = Control<QSpinBox>(page, id);
            bool labelled = false;
            for (QLabel* label : page.findChildren<QLabel*>())
                if (label->buddy() == spin) labelled = label->text().contains('&');
            EXPECT_TRUE(labelled) << id;
        }
        sheet.show();
        sheet.activateWindow();
        QApplication::setActiveWindow(&sheet);
        sheet.tabs().setCurrentWidget(&page);
        QTest::keyClick(&sheet, Qt::Key_L, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), Control<QSpinBox>(page, res::ControlClearClipboardSeconds));
        QTest::keyClick(&sheet, Qt::Key_K, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), Control<QSpinBox>(page, res::ControlLockAfterMinutes));
        // The check box's mnemonic toggles it, as a click would (an animated click: it lands a
        // moment later).
        auto* session = Control<QCheckBox>(page, res::ControlLockWithSession);
        QTest::keyClick(&sheet, Qt::Key_D, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([session] { return !session->isChecked(); }, 2000));
        EXPECT_EQ(QApplication::focusWidget(), session);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ReadInt(setting::LockWithSession), 0);
}

}  // namespace
}  // namespace tessarel::test
