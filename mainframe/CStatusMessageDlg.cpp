#include "CStatusMessageDlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "resources/ResourceIds.h"

namespace tessarel {

CStatusMessageDlg::CStatusMessageDlg(QWidget* parent) : QDialog(parent), text(new QLabel(this)) {
    setObjectName(QString::number(res::DialogStatusMessage));
    setWindowTitle(QStringLiteral("Message"));
    setModal(false);
    text->setObjectName(QString::number(res::ControlStatusMessageText));
    text->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
}

void CStatusMessageDlg::SetText(const QString& line) {
    text->setText(line);
    // The waits that follow hold the event loop back from user input only; paint the line now.
    text->repaint();
}

QString CStatusMessageDlg::Text() const { return text->text(); }

}  // namespace tessarel
