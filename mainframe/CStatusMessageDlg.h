#pragma once
// The small modeless "Message" window (138) the browser commands show while they wait for a web
// browser that is not running: one line of text (1005) that changes as the wait goes on.

#include <QDialog>

class QLabel;

namespace tessarel {

class CStatusMessageDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStatusMessageDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const;

private:
    QLabel* text;
};

}  // namespace tessarel
