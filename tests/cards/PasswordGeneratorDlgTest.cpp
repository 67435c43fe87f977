// The Generate Password dialog through its real widgets: Use fills the card dialog's password
// field, the menu command copies to the Clipboard, impossible options disable Use and say why, the
// entropy and strength shown, the options kept for next time, and keyboard access to every control.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include <functional>
#include <set>

#include "CardsFixture.h"
#include "framework/Dialog.h"
#include "framework/Settings.h"
#include "mainframe/dialogs/CPasswordGeneratorDlg.h"
#include "resources/ResourceIds.h"

namespace tessarel::test {
namespace {

using PasswordGeneratorDlgTest = CardsFixture;

template <class Widget>
Widget* Find(Dialog& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QString Preview(Dialog& dialog) { return Find<QLineEdit>(dialog, "GeneratorPreview")->text(); }
QString Entropy(Dialog& dialog) { return Find<QLabel>(dialog, "GeneratorEntropy")->text(); }
QString Strength(Dialog& dialog) { return Find<QProgressBar>(dialog, "GeneratorStrength")->format(); }
QPushButton* Use(Dialog& dialog) { return Find<QPushButton>(dialog, "IDOK"); }

void SetClasses(Dialog& dialog, bool upper, bool lower, bool digits, bool symbols) {
    Find<QCheckBox>(dialog, "GeneratorUpper")->setChecked(upper);
    Find<QCheckBox>(dialog, "GeneratorLower")->setChecked(lower);
    Find<QCheckBox>(dialog, "GeneratorDigits")->setChecked(digits);
    Find<QCheckBox>(dialog, "GeneratorSymbols")->setChecked(symbols);
}

TEST_F(PasswordGeneratorDlgTest, UseFillsTheCardDialogsPasswordField) {
    SelectCategory("WWW Sites");
    QString filled, previewed, useText;
    dialogs->RunDialog([&filled](Dialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::number(res::ControlCardName))->setText("Shop");
        dialog.findChild<QPushButton*>("GeneratePassword")->click();
        filled = dialog.findChild<QLineEdit*>(QString::number(res::ControlCardPassword))->text();
        return int(QDialog::Accepted);
    });
    dialogs->RunDialog([&previewed, &useText](Dialog& dialog) {
        Find<QSpinBox>(dialog, "GeneratorLength")->setValue(32);
        SetClasses(dialog, true, true, true, false);
        previewed = Preview(dialog);
        useText = Use(dialog)->text();
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(Run(res::NewCard));
    EXPECT_EQ(useText, "&Use");
    EXPECT_EQ(previewed.size(), 32);
    EXPECT_EQ(filled, previewed);
    CCard* card = Tree()->GetCurrentCard();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->GetFieldText1(), "Shop");
    EXPECT_EQ(QString::fromLatin1(card->GetFieldText4()), previewed);
    const auto& events = dialogs->Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].dialogClass, "tessarel::CPasswordGeneratorDlg");
    EXPECT_EQ(events[1].dialogTitle, "Generate Password");
}

TEST_F(PasswordGeneratorDlgTest, CancelLeavesThePasswordAsItWas) {
    SelectCategory("WWW Sites");
    QString after;
    dialogs->RunDialog([&after](Dialog& dialog) {
        auto* password = dialog.findChild<QLineEdit*>(QString::number(res::ControlCardPassword));
        password->setText("typed by hand");
        dialog.findChild<QPushButton*>("GeneratePassword")->click();
        after = password->text();
        return int(QDialog::Rejected);
    });
    dialogs->RunDialog([](Dialog&) { return int(QDialog::Rejected); });
    ASSERT_TRUE(Run(res::NewCard));
    EXPECT_EQ(after, "typed by hand");
}

TEST_F(PasswordGeneratorDlgTest, TheMenuCommandCopiesToTheClipboardAndTheOptionsAreKept) {
    QString previewed, useText;
    dialogs->RunDialog([&previewed, &useText](Dialog& dialog) {
        Find<QRadioButton>(dialog, "GeneratorPassphrase")->setChecked(true);
        Find<QSpinBox>(dialog, "GeneratorWords")->setValue(7);
        Find<QLineEdit>(dialog, "GeneratorSeparator")->setText("+");
        Find<QSpinBox>(dialog, "GeneratorLength")->setValue(30);
        Find<QCheckBox>(dialog, "GeneratorLookAlikes")->setChecked(true);
        previewed = Preview(dialog);
        useText = Use(dialog)->text();
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(Run(res::GeneratePassword));
    EXPECT_EQ(useText, "Cop&y");
    EXPECT_EQ(previewed.split('+').size(), 7) << previewed.toStdString();
    EXPECT_EQ(QApplication::clipboard()->text(), previewed);
    EXPECT_EQ(ReadInt(setting::GeneratorMode), 1);
    EXPECT_EQ(ReadInt(setting::GeneratorWords), 7);
    EXPECT_EQ(ReadText(setting::GeneratorSeparator), "+");
    EXPECT_EQ(ReadInt(setting::GeneratorLength), 30);
    EXPECT_EQ(ReadInt(setting::GeneratorExcludeLookAlikes), 1);
    EXPECT_EQ(ReadText(setting::GeneratorClasses), "ulds");

    // The next time the dialog opens as it was left.
    struct Shown {
        bool passphrase = false, lookAlikes = false, lengthEnabled = true;
        int words = 0, length = 0;
        QString separator, preview;
    } shown;
    dialogs->RunDialog([&shown](Dialog& dialog) {
        shown.passphrase = Find<QRadioButton>(dialog, "GeneratorPassphrase")->isChecked();
        shown.words = Find<QSpinBox>(dialog, "GeneratorWords")->value();
        shown.separator = Find<QLineEdit>(dialog, "GeneratorSeparator")->text();
        shown.length = Find<QSpinBox>(dialog, "GeneratorLength")->value();
        shown.lengthEnabled = Find<QSpinBox>(dialog, "GeneratorLength")->isEnabled();
        shown.lookAlikes = Find<QCheckBox>(dialog, "GeneratorLookAlikes")->isChecked();
        shown.preview = Preview(dialog);
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Run(res::GeneratePassword));
    EXPECT_TRUE(shown.passphrase);
    EXPECT_EQ(shown.words, 7);
    EXPECT_EQ(shown.separator, "+");
    EXPECT_EQ(shown.length, 30);
    EXPECT_FALSE(shown.lengthEnabled);
    EXPECT_TRUE(shown.lookAlikes);
    EXPECT_EQ(shown.preview.split('+').size(), 7);
    EXPECT_NE(shown.preview, previewed);
    // Cancel copies nothing.
    EXPECT_EQ(QApplication::clipboard()->text(), previewed);
}

TEST_F(PasswordGeneratorDlgTest, EscapeKeepsTheOptionsAndEmptiesThePreview) {
    QString before, after;
    dialogs->RunDialog([&](Dialog& dialog) {
        Find<QSpinBox>(dialog, "GeneratorLength")->setValue(40);
        before = Preview(dialog);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        after = Preview(dialog);
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Run(res::GeneratePassword));
    EXPECT_EQ(before.size(), 40);
    EXPECT_EQ(after, "");
    EXPECT_EQ(ReadInt(setting::GeneratorLength), 40);
}

TEST_F(PasswordGeneratorDlgTest, StoredValuesOutOfRangeGiveTheDefaults) {
    WriteInt(setting::GeneratorLength, 500);
    WriteText(setting::GeneratorClasses, "xyz");
    WriteInt(setting::GeneratorWords, 2);
    WriteText(setting::GeneratorSeparator, "far too long");
    const GeneratorOptions options = CPasswordGeneratorDlg::StoredOptions();
    EXPECT_EQ(options.length, 128);
    EXPECT_EQ(options.classes, unsigned{kAllClasses});
    EXPECT_EQ(options.words, 4);
    EXPECT_EQ(options.separator, "-");
}

TEST_F(PasswordGeneratorDlgTest, ImpossibleOptionsSayWhyAndDisableUse) {
    struct Seen {
        QString entropy, preview;
        bool useEnabled = true;
    };
    Seen noClass, digitsOnly, badSeparator;
    dialogs->RunDialog([&](Dialog& dialog) {
        SetClasses(dialog, false, false, false, false);
        noClass = {Entropy(dialog), Preview(dialog), Use(dialog)->isEnabled()};
        Find<QCheckBox>(dialog, "GeneratorDigits")->setChecked(true);
        digitsOnly = {Entropy(dialog), Preview(dialog), Use(dialog)->isEnabled()};
        Find<QRadioButton>(dialog, "GeneratorPassphrase")->setChecked(true);
        Find<QLineEdit>(dialog, "GeneratorSeparator")->setText(QString::fromUtf8("\xC3\xA9"));
        badSeparator = {Entropy(dialog), Preview(dialog), Use(dialog)->isEnabled()};
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Run(res::GeneratePassword));
    EXPECT_EQ(noClass.entropy, "Choose at least one character class.");
    EXPECT_EQ(noClass.preview, "");
    EXPECT_FALSE(noClass.useEnabled);
    EXPECT_EQ(digitsOnly.entropy, "Entropy: 66.4 bits");
    EXPECT_TRUE(digitsOnly.preview.contains(QRegularExpression("^[0-9]{20}$"))) << digitsOnly.preview.toStdString();
    EXPECT_TRUE(digitsOnly.useEnabled);
    EXPECT_EQ(badSeparator.entropy, "The separator may hold only printable ASCII characters (letters, digits, punctuation and the space).");
    EXPECT_FALSE(badSeparator.useEnabled);
    // Cancel with impossible options keeps the last good ones.
    EXPECT_EQ(ReadText(setting::GeneratorClasses), "ulds");
    EXPECT_FALSE(SettingExists(setting::GeneratorSeparator));
}

TEST_F(PasswordGeneratorDlgTest, EntropyAndStrengthFollowTheOptions) {
    struct Case {
        std::function<void(Dialog&)> choose;
        QString entropy, strength;
        int bar;
    };
    const Case cases[] = {
        {[](Dialog&) {}, "Entropy: 130.9 bits", "Strong", 128},
        {[](Dialog& d) { SetClasses(d, false, true, false, false); }, "Entropy: 94.0 bits", "Good", 94},
        {[](Dialog& d) {
             SetClasses(d, false, false, true, false);
             Find<QSpinBox>(d, "GeneratorLength")->setValue(8);
         },
         "Entropy: 26.6 bits", "Weak", 26},
        {[](Dialog& d) {
             SetClasses(d, false, true, true, false);
             Find<QSpinBox>(d, "GeneratorLength")->setValue(11);
         },
         "Entropy: 56.8 bits", "Fair", 56},
        {[](Dialog& d) { Find<QRadioButton>(d, "GeneratorPassphrase")->setChecked(true); }, "Entropy: 77.5 bits", "Good", 77},
    };
    for (const Case& c : cases) {
        QString entropy, strength;
        int bar = -1;
        dialogs->RunDialog([&](Dialog& dialog) {
            c.choose(dialog);
            entropy = Entropy(dialog);
            strength = Strength(dialog);
            bar = Find<QProgressBar>(dialog, "GeneratorStrength")->value();
            return int(QDialog::Rejected);
        });
        QSettings("Corvale", "Tessarel").clear();
        ASSERT_TRUE(Run(res::GeneratePassword));
        EXPECT_EQ(entropy, c.entropy);
        EXPECT_EQ(strength, c.strength) << c.entropy.toStdString();
        EXPECT_EQ(bar, c.bar) << c.entropy.toStdString();
    }
}

TEST_F(PasswordGeneratorDlgTest, EveryControlHasItsOwnKey) {
    CPasswordGeneratorDlg dialog(nullptr);
    dialog.Initialise();
    std::set<QChar> keys;
    auto mnemonic = [&keys](const QString& text) {
        const qsizetype at = text.indexOf(QRegularExpression("&[^&]"));
        EXPECT_GE(at, 0) << text.toStdString();
        if (at < 0) return;
        EXPECT_TRUE(keys.insert(text[at + 1].toLower()).second) << "key used twice: " << text.toStdString();
    };
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        if (button->objectName() != "IDCANCEL") mnemonic(button->text());  // Escape cancels
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy()) mnemonic(label->text());
    for (const char* field : {"GeneratorLength", "GeneratorWords", "GeneratorSeparator", "GeneratorPreview"}) {
        bool labelled = false;
        for (QLabel* label : dialog.findChildren<QLabel*>()) labelled = labelled || label->buddy() == dialog.findChild<QWidget*>(field);
        EXPECT_TRUE(labelled) << field;
    }
    EXPECT_TRUE(Use(dialog)->isDefault());
}

TEST_F(PasswordGeneratorDlgTest, TheCardMenuOffersTheCommandWithItsStatusText) {
    QAction* found = nullptr;
    for (QAction* action : frame->MenusOf(res::MenuPlainCard)[2]->actions())
        if (action->data().toInt() == res::GeneratePassword || action->text() == QString::fromUtf8("&Generate Password\u2026")) found = action;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->text(), QString::fromUtf8("&Generate Password\u2026"));
    EXPECT_EQ(found->statusTip(), "Make a random password or passphrase and copy it to the Clipboard");
    EXPECT_TRUE(found->isEnabled());
}

}  // namespace
}  // namespace tessarel::test
