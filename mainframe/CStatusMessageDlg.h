#pragma once
// The small modeless "Message" window (138) the browser commands show while they wait for a web
// browser that is not running: one line of text (1005) that changes as the wait goes on. While a
// browser that does not answer is waited for, it also offers Cancel (2), which Escape presses too.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace tessarel {

class CStatusMessageDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStatusMessageDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const;

    // Shows Cancel, which runs `cancel`; an empty function takes Cancel away again.
    void OfferCancel(std::function<void()> cancel);
    QPushButton* CancelButton() const { return cancelButton; }

protected:
    void reject() override;

private:
    QLabel* text;
    QPushButton* cancelButton;
    std::function<void()> onCancel;
};

}  // namespace tessarel
