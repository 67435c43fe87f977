#pragma once
// The About dialog (100): program icon, rights line, the home page button, the mail picture.

#include <functional>
#include <string_view>

#include "framework/Dialog.h"

namespace tessarel {

class CAboutDialog : public Dialog {
    Q_OBJECT
public:
    // What the home page button does with the page's address (the program opens it in a browser).
    using OpenAddress = std::function<void(std::string_view address)>;
    explicit CAboutDialog(OpenAddress openAddress, QWidget* parent = nullptr);
    static const char* const kHomePage;
};

}  // namespace tessarel
