#pragma once
// What a card window shows while its encrypted card file is locked: the file's name, a password
// field and an Unlock button. It holds no card; the lock controller reads the file again with the
// password typed here.

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessarel {

class CLockedPane : public QWidget {
    Q_OBJECT
public:
    explicit CLockedPane(const QString& title, QWidget* parent = nullptr);
    ~CLockedPane() override;

    // The typed password; the field is emptied (and its characters wiped) as it is handed over.
    QString TakePassword();
    // Puts the keyboard focus into the password field.
    void FocusPassword();

    QLineEdit* PasswordField() const { return password; }
    QPushButton* UnlockButton() const { return unlock; }

signals:
    // The person pressed Unlock (or Return in the field).
    void unlockRequested();

private:
    QLabel* heading;
    QLineEdit* password;
    QPushButton* unlock;
};

}  // namespace tessarel
