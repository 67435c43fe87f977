#pragma once
// The About dialog (100): program icon, rights line, the home page button, the mail picture.

#include "framework/Dialog.h"

namespace tessarel {

class CAboutDialog : public Dialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
    static const char* const kHomePage;
};

}  // namespace tessarel
