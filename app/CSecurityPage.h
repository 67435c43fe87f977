#pragma once
// The "Security" page of the preferences: how long a copied password stays on the clipboard, how
// long the program may sit idle before it locks its encrypted card files, and whether it locks
// them when the desktop session locks.

#include <QWidget>

class QCheckBox;
class QSpinBox;

namespace tessarel {

class CSecurityPage : public QWidget {
    Q_OBJECT
public:
    explicit CSecurityPage(QWidget* parent = nullptr);

    // The largest values the page offers: an hour on the clipboard, a day of idling.
    static constexpr int kMaxClipboardSeconds = 3600;
    static constexpr int kMaxLockMinutes = 1440;

    int clearClipboardSeconds = 0;  // 0: never cleared
    int lockAfterMinutes = 0;       // 0: never locked for idling
    int lockWithSession = 0;

    void OnInitPage() { DoDataExchange(false); }
    void DoDataExchange(bool save);

private:
    QSpinBox* clipboardSpin;
    QSpinBox* lockSpin;
    QCheckBox* sessionBox;
};

}  // namespace tessarel
