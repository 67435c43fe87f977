#pragma once
// The About Keys page (160): what key length buys. No members.

#include "framework/Dialog.h"

namespace tessarel {

class CAboutKeysDlg : public Dialog {
    Q_OBJECT
public:
    explicit CAboutKeysDlg(QWidget* parent = nullptr);
};

}  // namespace tessarel
