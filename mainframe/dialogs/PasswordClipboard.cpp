#include "mainframe/dialogs/PasswordClipboard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <memory>

#include "framework/SecretClipboard.h"
#include "mainframe/dialogs/RevealButton.h"
#include "mainframe/dialogs/CardText.h"

namespace tessarel {

namespace {

bool PlaceSecret(QString text) {
    const bool placed = SecretClipboard::Shared().Place(text);
    WipeText(text);
    return placed;
}

// An action of QLineEdit's standard menu. Qt 6.4 names none of them, so the text (without the
// shortcut after the tab) decides; later versions name them after their icons.
bool IsMenuAction(const QAction& action, const char* objectName, const QString& text) {
    return action.objectName() == QLatin1String(objectName) || action.text().section(QLatin1Char('\t'), 0, 0) == text;
}

// Qt's own Copy and Cut of a line edit would put the password on the clipboard unmarked and
// leave it there; this filter takes both over while the edit shows its text.
class PasswordEditCopyFilter : public QObject {
public:
    explicit PasswordEditCopyFilter(QLineEdit* guarded) : QObject(guarded), edit(guarded) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit || edit->echoMode() != QLineEdit::Normal) return false;
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool copy = key->matches(QKeySequence::Copy);
            const bool cut = key->matches(QKeySequence::Cut);
            if (!copy && !cut) return false;
            // Claim the key first, so no shortcut of the window takes it; act on the press.
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            Take(cut);
            return true;
        }
        if (event->type() == QEvent::ContextMenu) {
            RunContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return false;
    }

private:
    void Take(bool cut) {
        if (!edit->hasSelectedText()) return;
        if (PlaceSecret(edit->selectedText()) && cut && !edit->isReadOnly()) edit->del();
    }

    // The edit's own menu, with its Copy and Cut taken over.
    void RunContextMenu(const QPoint& at) {
        std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            const bool cut = IsMenuAction(*action, "edit-cut", QLineEdit::tr("Cu&t"));
            if (!cut && !IsMenuAction(*action, "edit-copy", QLineEdit::tr("&Copy"))) continue;
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, cut] { Take(cut); });
        }
        menu->exec(at);
    }

    QLineEdit* edit;
};

}  // namespace

bool CopyPasswordToClipboard(std::string_view cardBytes) { return PlaceSecret(NoteToQString(cardBytes)); }

void ShowClipboardStatusIn(QStatusBar* bar) {
    QObject::connect(&SecretClipboard::Shared(), &SecretClipboard::statusText, bar,
                     [bar](const QString& text) { bar->showMessage(text); });
}

void GuardPasswordEditCopy(QLineEdit* edit) { edit->installEventFilter(new PasswordEditCopyFilter(edit)); }

}  // namespace tessarel
