#pragma once
// The toolbar of the quick filter: a "Filter:" button that carries the Ctrl+K command, the text
// field, and the check box that extends the search to passwords and notes. It only reports what
// the person typed; the frame hands that to the active card window's tree.

#include <QToolBar>

class QAction;
class QCheckBox;
class QLineEdit;

namespace tessarel {

class QuickFilterBar : public QToolBar {
    Q_OBJECT
public:
    QuickFilterBar(QAction* focusAction, QWidget* parent);

    QLineEdit* TextEdit() const { return textEdit; }
    QCheckBox* SecretsBox() const { return secretsBox; }
    QString Text() const;
    bool SecretsToo() const;
    // Puts the focus in the field with its text selected, so typing replaces it.
    void FocusText();
    // Enables the field and the check box (off while no card window is active).
    void SetUsable(bool usable);

signals:
    void filterChanged();
    // Escape in an empty field: the person is done with it.
    void leaveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* textEdit;
    QCheckBox* secretsBox;
};

}  // namespace tessarel
