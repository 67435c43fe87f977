#pragma once
// The password generator (Card > Generate Password…, and the Generate button of the card
// dialog): characters or a passphrase, a live preview with its entropy and a strength bar. Use
// hands the shown password to the caller; the options of the last use are kept in the settings
// table ("Password Generator").

#include "cardstore/PasswordGenerator.h"
#include "cardstore/RandomSource.h"
#include "framework/Dialog.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tessarel {

class CPasswordGeneratorDlg : public Dialog {
    Q_OBJECT
public:
    // `forClipboard`: opened with no card dialog to take the password; the accept button then
    // says that it copies.
    explicit CPasswordGeneratorDlg(QWidget* parent = nullptr, bool forClipboard = false);

    // In: the options shown first (the stored ones unless the caller sets others). Out, after
    // Use: the options the password was made with.
    GeneratorOptions options;
    // After Use: the password taken, as card bytes.
    const SecureString& Password() const { return shown; }

    // The stored options; a value that is missing or out of range gives that option's default.
    static GeneratorOptions StoredOptions();
    static void StoreOptions(const GeneratorOptions& options);
    // The strength word the bar shows for an entropy.
    static QString StrengthText(double bits);

    QLineEdit* PreviewField() const { return preview; }
    QPushButton* UseButton() const { return useButton; }

public slots:
    void Regenerate();

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;
    bool AcceptMembers() override;
    // Cancel, Escape and closing the window all end here: valid options are kept even then, as
    // the person chose them; the password shown is wiped.
    void reject() override;
    // However it closes, the preview is emptied (which also drops its undo history).
    void done(int result) override;

private:
    void BuildCharacterOptions(QGridLayout* grid);
    void BuildPassphraseOptions(QGridLayout* grid);
    void ConnectOptionChanges();
    void OnOptionsChanged();
    void ShowModeControls();
    void ShowStrength(double bits, const QString& problem);

    bool forClipboard;
    bool loading = false;
    SystemRandom random;
    SecureString shown;
    QRadioButton* charactersMode;
    QRadioButton* passphraseMode;
    QSpinBox* lengthBox;
    QCheckBox* upperBox;
    QCheckBox* lowerBox;
    QCheckBox* digitsBox;
    QCheckBox* symbolsBox;
    QCheckBox* lookAlikesBox;
    QSpinBox* wordsBox;
    QLineEdit* separatorEdit;
    QLineEdit* preview;
    QLabel* entropyLabel;
    QProgressBar* strengthBar;
    QPushButton* regenerateButton;
    QPushButton* useButton;
};

}  // namespace tessarel
