#include "CPrintingPage.h"

#include <QCheckBox>
#include <QGroupBox>

namespace tessarel {

CPrintingPage::CPrintingPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("107"));
    auto* group = new QGroupBox(QStringLiteral("Print Preferences"), this);
    group->setGeometry(8, 8, 300, 80);
    notesBox = new QCheckBox(QStringLiteral("Print notes"), group);
    notesBox->setObjectName(QStringLiteral("1062"));
    notesBox->setGeometry(10, 22, 280, 20);
    atmBox = new QCheckBox(QStringLiteral("Print ATM / PIN codes"), group);
    atmBox->setObjectName(QStringLiteral("1060"));
    atmBox->setGeometry(10, 48, 280, 20);
}

void CPrintingPage::DoDataExchange(bool save) {
    if (save) {
        printNotes = notesBox->isChecked() ? 1 : 0;
        printAtm = atmBox->isChecked() ? 1 : 0;
        return;
    }
    notesBox->setChecked(printNotes != 0);
    atmBox->setChecked(printAtm != 0);
}

}  // namespace tessarel
