#pragma once
// The "General" page of the preferences (108): web browser choice, automatic save every n
// minutes, and the date format list filled with the current time in each format.

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace tessarel {

class CInternetPage : public QWidget {
    Q_OBJECT
public:
    explicit CInternetPage(QWidget* parent = nullptr);

    int browser = 0;
    int automaticSave = 0;
    QString minutes;
    QString spare;  // always empty
    int dateFormat = 0;

    void OnInitPage();
    void DoDataExchange(bool save);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EnableMinutes();
    // Moves the spin to the number `typed` starts with, leaving the edit's text alone.
    void FollowTypedMinutes(const QString& typed);

    QSpinBox* spin;
    QRadioButton* navigator;
    QRadioButton* explorer;
    QCheckBox* saveBox;
    QLineEdit* minutesEdit;
    QListWidget* formats;
};

}  // namespace tessarel
