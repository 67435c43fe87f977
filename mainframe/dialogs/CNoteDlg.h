#pragma once
// The Note dialog (132), titled "Note ": the whole note of a card, edited with its line breaks.

#include "OneTextDlg.h"

namespace tessarel {

class CNoteDlg : public OneTextDlg {
    Q_OBJECT
public:
    explicit CNoteDlg(QWidget* parent = nullptr);

    QString note;
};

}  // namespace tessarel
