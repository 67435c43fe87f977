#pragma once
// The Note dialog (132), titled "Note ": the whole note of a card, edited with its line breaks.

#include "framework/Dialog.h"

class QPlainTextEdit;

namespace tessarel {

class CNoteDlg : public Dialog {
    Q_OBJECT
public:
    explicit CNoteDlg(QWidget* parent = nullptr);

    QString note;

protected:
    void DoDataExchange(bool save) override;
    bool AcceptMembers() override;

private:
    QPlainTextEdit* noteEdit;
};

}  // namespace tessarel
