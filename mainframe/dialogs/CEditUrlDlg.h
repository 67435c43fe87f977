#pragma once
// The Edit URL dialog (178): one multi-line address, edited for the card dialog's URL button.

#include "framework/Dialog.h"

class QPlainTextEdit;

namespace tessarel {

class CEditUrlDlg : public Dialog {
    Q_OBJECT
public:
    explicit CEditUrlDlg(QWidget* parent = nullptr);

    QString address;

protected:
    void DoDataExchange(bool save) override;
    bool AcceptMembers() override;

private:
    QPlainTextEdit* addressEdit;
};

}  // namespace tessarel
