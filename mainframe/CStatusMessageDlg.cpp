#include "CStatusMessageDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/ResourceIds.h"

namespace tessarel {

CStatusMessageDlg::CStatusMessageDlg(QWidget* parent)
    : QDialog(parent), text(new QLabel(this)), cancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QString::number(res::DialogStatusMessage));
    setWindowTitle(QStringLiteral("Message"));
    setModal(false);
    text->setObjectName(QString::number(res::ControlStatusMessageText));
    text->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    cancelButton->setObjectName(QStringLiteral("2"));
    cancelButton->hide();
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
    connect(cancelButton, &QPushButton::clicked, this, [this] { reject(); });
}

void CStatusMessageDlg::OfferCancel(std::function<void()> cancel) {
    onCancel = std::move(cancel);
    cancelButton->setVisible(static_cast<bool>(onCancel));
    if (onCancel) cancelButton->setFocus();
}

void CStatusMessageDlg::reject() {
    // While Cancel is offered, Escape and Cancel stop the wait; the window stays until it ends.
    if (onCancel) {
        onCancel();
        return;
    }
    QDialog::reject();
}

void CStatusMessageDlg::SetText(const QString& line) {
    text->setText(line);
    // The waits that follow hold the event loop back from user input only; paint the line now.
    text->repaint();
}

QString CStatusMessageDlg::Text() const { return text->text(); }

}  // namespace tessarel
