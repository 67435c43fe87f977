#pragma once
// The card dialog (141), "Add New Card" or, in edit mode, "Edit Card": a data holder the caller
// fills, runs and reads back. Texts are the typed Unicode texts; the caller converts them to card
// bytes.

#include <array>

#include "framework/Dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace tessarel {

class RevealButton;

class CCardDlg : public Dialog {
    Q_OBJECT
public:
    explicit CCardDlg(QWidget* parent = nullptr);

    QString name = QStringLiteral("Untitled");
    QString secondField;
    QString thirdField;
    QString password;
    QString note;
    QString categoryName;
    int newBrowserWindow = 0;
    int automaticAccess = 0;
    std::array<QString, 4> labels;
    int editMode = 0;
    int browserAttributesEnabled = 0;
    int hidePassword = 1;

    RevealButton* Reveal() const { return reveal; }
    QToolButton* UrlButton() const { return urlButton; }
    QPushButton* OkButton() const { return okButton; }
    QPushButton* GenerateButton() const { return generateButton; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;
    // Every text must fit a card before the dialog closes.
    bool AcceptMembers() override;

private:
    void OnUrlButton();
    // Opens the password generator; Use puts its password in the password field.
    void OnGenerateButton();

    QLineEdit* nameEdit;
    QLineEdit* secondEdit;
    QLineEdit* thirdEdit;
    QLineEdit* passwordEdit;
    QPlainTextEdit* noteEdit;
    QLabel* categoryLabel;
    QCheckBox* newWindowBox;
    QCheckBox* automaticBox;
    std::array<QLabel*, 4> labelControls{};
    RevealButton* reveal;
    QToolButton* urlButton;
    QPushButton* okButton;
    QPushButton* generateButton;
};

}  // namespace tessarel
