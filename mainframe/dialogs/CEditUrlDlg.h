#pragma once
// The Edit URL dialog (178): one multi-line address, edited for the card dialog's URL button.

#include "OneTextDlg.h"

namespace tessarel {

class CEditUrlDlg : public OneTextDlg {
    Q_OBJECT
public:
    explicit CEditUrlDlg(QWidget* parent = nullptr);

    QString address;
};

}  // namespace tessarel
