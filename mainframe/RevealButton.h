#pragma once
// The small button with icon 151 beside a masked password: it shows the password in a pop-up
// menu with one disabled item, placed at the button's bottom-right corner moved 5 pixels right.

#include <QLineEdit>
#include <QToolButton>
#include <functional>

namespace tessarel {

class RevealButton : public QToolButton {
    Q_OBJECT
public:
    // `current` is asked for the text when the button is pressed.
    RevealButton(int controlId, std::function<QString()> current, QWidget* parent);
    // The last text shown is a password: it is wiped with the button.
    ~RevealButton() override;

    // The pop-up's position (screen coordinates) and text; the menu itself is run by Reveal.
    QPoint PopupPosition() const;
    void Reveal();
    QString lastShown;

private:
    std::function<QString()> currentText;
};

// A password edit that echoes nothing readable, named by its control id.
QLineEdit* MaskedEdit(int controlId, QWidget* parent);

// Zeroes the characters of `text` when no other string shares them, and empties it. A string
// still shared (a caller's copy) is left to the last holder, which wipes it in turn.
void WipeText(QString& text);

// Empties a password edit, its undo history included, and wipes the characters it held.
void WipeEdit(QLineEdit* edit);

}  // namespace tessarel
