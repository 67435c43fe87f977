// The Preferences sheet run through the scripted dialog seam: what each page shows from the
// stored settings, what OK stores and in which order, and the controls that act on their own.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "app/CInternetPage.h"
#include "app/CPathsSetPage.h"
#include "app/CPrefPropertySheet.h"
#include "app/CPrintingPage.h"
#include "app/CStartUpPage.h"
#include "cardstore/CardTime.h"
#include "framework/MinutesText.h"
#include "framework/ScriptedDialogHost.h"
#include "framework/Settings.h"
#include "PrefSheetFixture.h"

namespace tessarel::test {
namespace {

class PrefsTest : public PrefSheetFixture {};

TEST_F(PrefsTest, FirstRunShowsDefaultsAndCancelStoresNothing) {
    const int result = RunSheet([](Dialog& dialog) {
        CPrefPropertySheet& sheet = Sheet(dialog);
        EXPECT_EQ(sheet.windowTitle(), "Preferences");
        const QStringList tabs{"General", "At Startup", "Paths Settings", "Printing", "Security"};
        EXPECT_EQ(sheet.tabs().count(), 5);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(sheet.tabs().tabText(i), tabs[i]);

        QWidget& general = sheet.internetPage();
        EXPECT_FALSE(Control<QRadioButton>(general, 1116)->isChecked());
        EXPECT_TRUE(Control<QRadioButton>(general, 1117)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(general, 1115)->isChecked());
        EXPECT_EQ(Control<QLineEdit>(general, 1114)->text(), "10");
        EXPECT_FALSE(Control<QLineEdit>(general, 1114)->isEnabled());
        EXPECT_FALSE(Control<QSpinBox>(general, 1113)->isEnabled());
        EXPECT_EQ(Control<QListWidget>(general, 1150)->currentRow(), 0);

        QWidget& startUp = sheet.startUpPage();
        for (int id : {1052, 1053, 1054, 1055, 1056, 1057}) EXPECT_FALSE(Control<QCheckBox>(startUp, id)->isChecked());
        QWidget& paths = sheet.pathsPage();
        EXPECT_TRUE(Control<QRadioButton>(paths, 1117)->isChecked());
        for (int id : {1027, 1028, 1030, 1032, 1033, 1035, 1036}) EXPECT_EQ(Control<QLineEdit>(paths, id)->text(), "");
        // Missing print options show cleared although printing treats them as on.
        QWidget& printing = sheet.printingPage();
        EXPECT_FALSE(Control<QCheckBox>(printing, 1062)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(printing, 1060)->isChecked());
        Control<QCheckBox>(printing, 1060)->click();
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    for (const Setting* row : AllSettings()) EXPECT_FALSE(SettingExists(*row)) << row->section << "/" << row->key;
    EXPECT_TRUE(host.Problems().isEmpty());
}

TEST_F(PrefsTest, OkWithoutChangesStoresEveryValueInOrder) {
    std::vector<std::string> order;
    const int result = RunSheet([&order](Dialog& dialog) {
        for (const auto& value : Sheet(dialog).ValuesInWriteOrder())
            order.push_back(std::string(value.row->section) + "/" + value.row->key);
        return int(QDialog::Accepted);
    });
    ASSERT_EQ(result, QDialog::Accepted);
    const std::vector<std::string> expected{
        "Print Preferences/Print ATM", "Print Preferences/Print Notes", "Start Up Preferences/Print Notes",
        "Start Up Preferences/Launch FTP", "Start Up Preferences/Launch News Reader",
        "Start Up Preferences/Launch Tel Net", "Start Up Preferences/Launch Web Browser",
        "Start Up Preferences/Check Open Files", "Internet Preferences/Choose Web Browser",
        "Internet Preferences/Automatic Save Check", "Internet Preferences/Automatic Save",
        "Internet Preferences/Date Format", "Internet Preferences/Netscape File Path",
        "Internet Preferences/Explorer File Path", "Internet Preferences/MailProg File Path",
        "Internet Preferences/NewsProg File Path", "Internet Preferences/HelpProg File Path",
        "Internet Preferences/FTP File Path", "Internet Preferences/Telnet File Path",
        "Security/Clear Clipboard Seconds", "Security/Lock After Minutes", "Security/Lock With Session"};
    EXPECT_EQ(order, expected);
    // Every value of the table except the framework's own and the password generator's (which
    // its dialog stores) is stored, with the values shown.
    for (const Setting* row : AllSettings()) {
        const bool framework = QString::fromLatin1(row->section) == "Recent File List" ||
                               QString::fromLatin1(row->section) == "Settings";
        const bool generator = QString::fromLatin1(row->section) == "Password Generator";
        EXPECT_EQ(SettingExists(*row), !framework && !generator) << row->section << "/" << row->key;
    }
    EXPECT_EQ(ReadInt(setting::PrintAtm), 0);
    EXPECT_EQ(ReadInt(setting::PrintNotes), 0);
    EXPECT_EQ(ReadInt(setting::ChooseWebBrowser), 1);
    EXPECT_EQ(ReadText(setting::AutomaticSave), "10");
    EXPECT_EQ(ReadInt(setting::DateFormat), 0);
    EXPECT_EQ(ReadText(setting::TelnetFilePath), "");
}

TEST_F(PrefsTest, StoredValuesFillThePagesAndEditsAreStored) {
    WriteInt(setting::PrintAtm, 1);
    WriteInt(setting::PrintNotes, 0);
    WriteInt(setting::LaunchEmail, 1);
    WriteInt(setting::LaunchTelnet, 1);
    WriteInt(setting::ChooseWebBrowser, 0);
    WriteInt(setting::AutomaticSaveCheck, 1);
    WriteText(setting::AutomaticSave, "25");
    WriteInt(setting::DateFormat, 4);
    WriteText(setting::NetscapeFilePath, "/opt/nav");
    WriteText(setting::HelpProgFilePath, "/usr/bin/evince");
    RunSheet([](Dialog& dialog) {
        CPrefPropertySheet& sheet = Sheet(dialog);
        QWidget& general = sheet.internetPage();
        EXPECT_TRUE(Control<QRadioButton>(general, 1116)->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(general, 1115)->isChecked());
        EXPECT_TRUE(Control<QLineEdit>(general, 1114)->isEnabled());
        EXPECT_EQ(Control<QSpinBox>(general, 1113)->value(), 25);
        EXPECT_EQ(Control<QListWidget>(general, 1150)->currentRow(), 4);
        QWidget& startUp = sheet.startUpPage();
        EXPECT_TRUE(Control<QCheckBox>(startUp, 1054)->isChecked());   // stored as "Print Notes"
        EXPECT_TRUE(Control<QCheckBox>(startUp, 1055)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(startUp, 1052)->isChecked());
        EXPECT_EQ(Control<QLineEdit>(sheet.pathsPage(), 1027)->text(), "/opt/nav");
        EXPECT_EQ(Control<QLineEdit>(sheet.pathsPage(), 1035)->text(), "/usr/bin/evince");
        EXPECT_TRUE(Control<QCheckBox>(sheet.printingPage(), 1060)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(sheet.printingPage(), 1062)->isChecked());

        // Edits: the minutes text is stored as typed, the list selection at once.
        Control<QLineEdit>(general, 1114)->setText("soon");
        Control<QListWidget>(general, 1150)->setCurrentRow(7);
        Control<QRadioButton>(general, 1117)->click();
        Control<QCheckBox>(startUp, 1054)->click();
        Control<QCheckBox>(startUp, 1057)->click();
        Control<QCheckBox>(sheet.printingPage(), 1062)->click();
        Control<QLineEdit>(sheet.pathsPage(), 1033)->setText("/usr/bin/ftp");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ReadText(setting::AutomaticSave), "soon");
    EXPECT_EQ(ReadInt(setting::DateFormat), 7);
    EXPECT_EQ(ReadInt(setting::ChooseWebBrowser), 1);
    EXPECT_EQ(ReadInt(setting::LaunchEmail), 0);
    EXPECT_EQ(ReadInt(setting::CheckOpenFiles), 1);
    EXPECT_EQ(ReadInt(setting::LaunchTelnet), 1);
    EXPECT_EQ(ReadInt(setting::PrintNotes), 1);
    EXPECT_EQ(ReadInt(setting::PrintAtm), 1);
    EXPECT_EQ(ReadText(setting::FtpFilePath), "/usr/bin/ftp");
    EXPECT_EQ(ReadText(setting::NetscapeFilePath), "/opt/nav");
}

TEST_F(PrefsTest, AutomaticSaveBoxEnablesTheMinutesAndSpin) {
    WriteText(setting::AutomaticSave, "not a number");
    RunSheet([](Dialog& dialog) {
        QWidget& general = Sheet(dialog).internetPage();
        auto* spin = Control<QSpinBox>(general, 1113);
        auto* edit = Control<QLineEdit>(general, 1114);
        EXPECT_EQ(spin->minimum(), 0);
        EXPECT_EQ(spin->maximum(), 30);
        EXPECT_EQ(spin->value(), 0);
        EXPECT_EQ(edit->text(), "not a number");  // the edit keeps the text as stored
        Control<QCheckBox>(general, 1115)->click();
        EXPECT_TRUE(edit->isEnabled());
        EXPECT_TRUE(spin->isEnabled());
        spin->stepBy(3);
        EXPECT_EQ(edit->text(), "3");
        Control<QCheckBox>(general, 1115)->click();
        EXPECT_FALSE(edit->isEnabled());
        EXPECT_FALSE(spin->isEnabled());
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ReadInt(setting::AutomaticSaveCheck), 0);
    EXPECT_EQ(ReadText(setting::AutomaticSave), "3");
}

TEST_F(PrefsTest, TheSpinIsTheMinutesEditsBuddy) {
    WriteInt(setting::AutomaticSaveCheck, 1);
    WriteText(setting::AutomaticSave, "10x");
    RunSheet([](Dialog& dialog) {
        QWidget& general = Sheet(dialog).internetPage();
        auto* spin = Control<QSpinBox>(general, 1113);
        auto* edit = Control<QLineEdit>(general, 1114);
        // The stored text is read as a number from its start.
        EXPECT_EQ(edit->text(), "10x");
        EXPECT_EQ(spin->value(), 10);

        // Typing in the edit moves the spin; the edit keeps what was typed.
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "25 min");
        EXPECT_EQ(edit->text(), "25 min");
        EXPECT_EQ(spin->value(), 25);
        // The spin's arrows step from there and write the number into the edit.
        spin->stepUp();
        EXPECT_EQ(edit->text(), "26");
        // So do the arrow keys in the edit.
        QTest::keyClick(edit, Qt::Key_Up);
        EXPECT_EQ(edit->text(), "27");
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Down);
        EXPECT_EQ(edit->text(), "25");
        // Beyond the range the spin stops at its end; the edit still holds the typed text.
        edit->selectAll();
        QTest::keyClicks(edit, "45");
        EXPECT_EQ(spin->value(), 30);
        EXPECT_EQ(edit->text(), "45");
        QTest::keyClick(edit, Qt::Key_Up);
        EXPECT_EQ(edit->text(), "30");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ReadText(setting::AutomaticSave), "30");
}

TEST_F(PrefsTest, MinutesTextReadsAsCsAtoi) {
    struct Case {
        const char* text;
        int value;
        int spin;
    };
    const Case cases[] = {
        {"10x", 10, 10},      {"10", 10, 10},   {"  7", 7, 7},     {"+12abc", 12, 12},
        {"-3", -3, -3},       {"x10", 0, 0},    {"", 0, 0},        {"1 0", 1, 1},
        {"70000", 70000, 4464},  // the spin takes the low 16 bits
        {"99999999999", 2147483647, -1},
        // Only C's blanks lead and only ASCII digits count: a no-break space, an em space and
        // other scripts' digits end the number.
        {"\u00a05", 0, 0},   {"\u20035", 0, 0}, {"\t\v\f\r\n5", 5, 5}, {"3\u0663", 3, 3}, {"\u0663", 0, 0},
        {"5 ", 5, 5},        {"-0", 0, 0},      {"- 5", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MinutesText::Value(QString::fromUtf8(c.text)), c.value) << c.text;
        EXPECT_EQ(MinutesText::SpinPosition(QString::fromUtf8(c.text)), c.spin) << c.text;
    }
}

TEST_F(PrefsTest, DateListShowsTodayInEveryFormat) {
    // A stored index past the list selects no line.
    WriteInt(setting::DateFormat, 12);
    RunSheet([](Dialog& dialog) {
        auto* list = Control<QListWidget>(Sheet(dialog).internetPage(), 1150);
        const std::uint32_t now = CurrentCardTimeStamp();
        EXPECT_EQ(list->count(), 12);
        for (int i = 0; i < list->count() && i < 12; ++i)
            EXPECT_EQ(list->item(i)->text().toStdString(), FormatCardDate(now, i)) << i;
        EXPECT_EQ(list->currentRow(), -1);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(ReadInt(setting::DateFormat), 12);
}

TEST_F(PrefsTest, FindPathFillsThePathOfTheCheckedButton) {
    WriteText(setting::ExplorerFilePath, "/opt/explorer");
    host.RunDialog([this](Dialog& dialog) {
        QWidget& paths = Sheet(dialog).pathsPage();
        Control<QRadioButton>(paths, 1116)->click();  // "Navigator:"
        Control<QLineEdit>(paths, 1036)->setText("/typed/telnet");
        Control<QPushButton>(paths, 1034)->click();
        EXPECT_EQ(Control<QLineEdit>(paths, 1027)->text(), "/usr/bin/firefox");
        EXPECT_EQ(Control<QLineEdit>(paths, 1030)->text(), "/opt/explorer");
        EXPECT_EQ(Control<QLineEdit>(paths, 1036)->text(), "/typed/telnet");
        // A cancelled search changes nothing.
        Control<QRadioButton>(paths, 1019)->click();  // "Acrobat Reader:"
        Control<QPushButton>(paths, 1034)->click();
        EXPECT_EQ(Control<QLineEdit>(paths, 1035)->text(), "");
        EXPECT_EQ(host.PendingSteps(), 0u);
        return int(QDialog::Accepted);
    });
    // The sheet's run comes first; the two searches are answered inside it.
    host.AnswerFile("/usr/bin/firefox");
    host.CancelFile();
    ASSERT_EQ(CPrefPropertySheet::Run(nullptr), QDialog::Accepted);
    EXPECT_TRUE(host.Problems().isEmpty()) << host.Problems().join("; ").toStdString();
    const auto& events = host.Events();
    ASSERT_EQ(events.size(), 3u);
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(events[i].kind, ScriptedDialogHost::Kind::OpenFile);
        EXPECT_EQ(events[i].request.caption, "Find Internet Applications Paths");
        EXPECT_EQ(events[i].request.filters, (QStringList{"Executable Files (*.exe)", "All Files (*)"}));
        EXPECT_TRUE(events[i].request.defaultSuffix.isEmpty());
        EXPECT_TRUE(events[i].request.initialPath.isEmpty());
        EXPECT_EQ(events[i].request.acceptLabel, "&OK");
        EXPECT_TRUE(events[i].request.showReadOnly);
    }
    EXPECT_EQ(ReadText(setting::NetscapeFilePath), "/usr/bin/firefox");
    EXPECT_EQ(ReadText(setting::TelnetFilePath), "/typed/telnet");
    EXPECT_EQ(ReadText(setting::HelpProgFilePath), "");
}

}  // namespace
}  // namespace tessarel::test
