#include "CInternetPage.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>

#include "cardstore/CardTime.h"
#include "framework/MinutesText.h"

namespace tessarel {

namespace {
template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}
}  // namespace

CInternetPage::CInternetPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("108"));
    auto* browsers = new QGroupBox(QStringLiteral("Web Browser Preference"), this);
    browsers->setGeometry(8, 8, 300, 76);
    auto* picture = Named(new QLabel(browsers), 157);
    picture->setGeometry(250, 22, 40, 40);
    navigator = Named(new QRadioButton(QStringLiteral("Netscape Navigator"), browsers), 1116);
    navigator->setGeometry(10, 22, 230, 20);
    explorer = Named(new QRadioButton(QStringLiteral("Microsoft Internet Explorer"), browsers), 1117);
    explorer->setGeometry(10, 46, 230, 20);

    auto* autoSave = new QGroupBox(QStringLiteral("Automatic Save"), this);
    autoSave->setGeometry(8, 90, 300, 56);
    saveBox = Named(new QCheckBox(QStringLiteral("Automatic Save Every:"), autoSave), 1115);
    saveBox->setGeometry(10, 24, 160, 20);
    minutesEdit = Named(new QLineEdit(autoSave), 1114);
    minutesEdit->setGeometry(172, 22, 40, 22);
    spin = Named(new QSpinBox(autoSave), 1113);
    spin->setGeometry(212, 22, 18, 22);
    spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    spin->setGroupSeparatorShown(false);
    auto* unit = new QLabel(QStringLiteral("minutes"), autoSave);
    unit->setGeometry(236, 24, 60, 20);
    minutesEdit->setEnabled(false);
    spin->setEnabled(false);
    // The spin is the edit's buddy: moving it writes its number into the edit, typing in the edit
    // moves it (the edit keeps what was typed), and the arrow keys in the edit step it.
    connect(spin, &QSpinBox::valueChanged, this, [this](int value) { minutesEdit->setText(QString::number(value)); });
    connect(minutesEdit, &QLineEdit::textEdited, this, [this](const QString& typed) { FollowTypedMinutes(typed); });
    minutesEdit->installEventFilter(this);
    connect(saveBox, &QCheckBox::clicked, this, [this] { EnableMinutes(); });

    auto* dates = new QGroupBox(QStringLiteral("Select Date Format"), this);
    dates->setGeometry(8, 152, 300, 160);
    formats = Named(new QListWidget(dates), 1150);
    formats->setGeometry(10, 22, 280, 130);
    connect(formats, &QListWidget::currentRowChanged, this, [this](int row) { dateFormat = row; });
}

void CInternetPage::OnInitPage() {
    DoDataExchange(false);
    spin->setRange(0, 30);
    // The position is the minutes text as a number, low 16 bits only; the edit keeps its text.
    FollowTypedMinutes(minutesEdit->text());
    EnableMinutes();

    const QSignalBlocker quietList(formats);
    formats->clear();
    const QDate today = QDate::currentDate();
    for (std::string_view format : kDateFormats)
        formats->addItem(QString::fromStdString(
            FormatDateFields(format, today.year(), today.month(), today.day(), today.dayOfWeek() % 7)));
    // An index outside the list selects no line.
    formats->setCurrentRow(dateFormat >= 0 && dateFormat < formats->count() ? dateFormat : -1);
}

void CInternetPage::FollowTypedMinutes(const QString& typed) {
    const QSignalBlocker quiet(spin);
    spin->setValue(MinutesText::SpinPosition(typed));
}

bool CInternetPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == minutesEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            // Steps from the number the edit shows now, as the spin's arrows do.
            FollowTypedMinutes(minutesEdit->text());
            spin->stepBy(key == Qt::Key_Up ? 1 : -1);
            // At the range's end the spin does not move, but the edit shows where it stands.
            minutesEdit->setText(QString::number(spin->value()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CInternetPage::EnableMinutes() {
    const bool on = saveBox->isChecked();
    minutesEdit->setEnabled(on);
    spin->setEnabled(on);
}

void CInternetPage::DoDataExchange(bool save) {
    if (save) {
        browser = explorer->isChecked() ? 1 : (navigator->isChecked() ? 0 : browser);
        automaticSave = saveBox->isChecked() ? 1 : 0;
        minutes = minutesEdit->text();
        return;
    }
    navigator->setChecked(browser == 0);
    explorer->setChecked(browser == 1);
    saveBox->setChecked(automaticSave != 0);
    minutesEdit->setText(minutes);
}

}  // namespace tessarel
