#pragma once
// The small button with icon 151 beside a masked password: it shows the password in a pop-up
// menu with one disabled item, placed at the button's bottom-right corner moved 5 pixels right.

#include <QLineEdit>
#include <QToolButton>
#include <functional>

class QMenu;

namespace tessarel {

class RevealButton : public QToolButton {
    Q_OBJECT
public:
    // `current` is asked for the text when the button is pressed.
    RevealButton(int controlId, std::function<QString()> current, QWidget* parent);

    // The pop-up's position (screen coordinates); Reveal shows it there through ShowRevealPopup.
    QPoint PopupPosition() const;
    void Reveal();

private:
    std::function<QString()> currentText;
};

// Every password pop-up of the program (the reveal buttons, the field list's password row) is built
// here: a menu whose one item, disabled, is the text, run at `at` (screen coordinates).
void ShowRevealPopup(QWidget* parent, const QString& text, const QPoint& at);

// Runs a pop-up menu at a screen position until it closes. The program's runner is QMenu::exec;
// a test installs one that looks at the menu (its items, where it would appear) and returns.
using PopupRunner = std::function<void(QMenu& menu, const QPoint& at)>;
// Installs `runner` (an empty one restores QMenu::exec); returns the one it replaces.
PopupRunner SetPopupRunner(PopupRunner runner);

// A password edit that echoes nothing readable, named by its control id.
QLineEdit* MaskedEdit(int controlId, QWidget* parent);

// Zeroes the characters of `text` when no other string shares them, and empties it. A string
// still shared (a caller's copy) is left to the last holder, which wipes it in turn.
void WipeText(QString& text);

// Empties a password edit, its undo history included, and wipes the characters it held.
void WipeEdit(QLineEdit* edit);

}  // namespace tessarel
