#include "CImportDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/DialogHost.h"
#include "resources/ResourceIds.h"

namespace tessarel {
namespace {

constexpr const char* kNoColumn = "(not imported)";

}  // namespace

CImportDlg::CImportDlg(QWidget* parent) : Dialog(parent) {
    setObjectName(QString::number(res::DialogImport));
    setWindowTitle(QStringLiteral("Import"));
    auto* layout = new QVBoxLayout(this);
    fileLabel = new QLabel(this);
    fileLabel->setObjectName(QStringLiteral("ImportFile"));
    layout->addWidget(fileLabel);

    auto* formatRow = new QFormLayout;
    formatBox = new QComboBox(this);
    formatBox->setObjectName(QStringLiteral("ImportFormat"));
    for (const ImportFormat each : AllImportFormats()) {
        formatBox->addItem(QString::fromUtf8(ImportFormatTitle(each).data(), static_cast<qsizetype>(ImportFormatTitle(each).size())),
                           static_cast<int>(each));
    }
    auto* formatLabel = new QLabel(QStringLiteral("&Format:"), this);
    formatLabel->setBuddy(formatBox);
    formatRow->addRow(formatLabel, formatBox);
    layout->addLayout(formatRow);

    auto* group = new QGroupBox(QStringLiteral("Columns to card fields"), this);
    auto* mapping = new QFormLayout(group);
    for (const auto& target : GenericCsvTargets()) {
        auto* box = new QComboBox(group);
        box->setObjectName(MappingName(target));
        mapping->addRow(QString::fromStdString(target) + QStringLiteral(":"), box);
        mappingBoxes.push_back(box);
    }
    mappingGroup = group;
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("IDOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CImportDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::OnCancel);
    layout->addWidget(buttons);
    connect(formatBox, &QComboBox::currentIndexChanged, this, [this] { ShowMapping(); });
}

void CImportDlg::OnInitDialog() {
    for (std::size_t i = 0; i < mappingBoxes.size(); ++i) {
        QComboBox* box = mappingBoxes[i];
        box->clear();
        box->addItem(QString::fromLatin1(kNoColumn));
        box->addItems(columns);
        // A column named like the field is the likely choice.
        const QString target = QString::fromStdString(GenericCsvTargets()[i]);
        for (int c = 0; c < columns.size(); ++c) {
            if (columns[c].compare(target, Qt::CaseInsensitive) == 0) box->setCurrentIndex(c + 1);
        }
    }
    DoDataExchange(false);
    ShowMapping();
}

void CImportDlg::ShowMapping() {
    mappingGroup->setEnabled(static_cast<ImportFormat>(formatBox->currentData().toInt()) == ImportFormat::GenericCsv);
}

void CImportDlg::DoDataExchange(bool save) {
    if (!save) {
        fileLabel->setText(QStringLiteral("File: ") + fileName);
        formatBox->setCurrentIndex(formatBox->findData(static_cast<int>(format)));
        for (std::size_t i = 0; i < mappingBoxes.size(); ++i) {
            const auto found = map.find(GenericCsvTargets()[i]);
            if (found != map.end()) mappingBoxes[i]->setCurrentIndex(static_cast<int>(std::max<qsizetype>(0, columns.indexOf(QString::fromStdString(found->second)) + 1)));
        }
        return;
    }
    format = static_cast<ImportFormat>(formatBox->currentData().toInt());
    map.clear();
    if (format != ImportFormat::GenericCsv) return;
    for (std::size_t i = 0; i < mappingBoxes.size(); ++i) {
        if (mappingBoxes[i]->currentIndex() > 0) map[GenericCsvTargets()[i]] = mappingBoxes[i]->currentText().toStdString();
    }
}

void CImportDlg::OnOK() {
    DoDataExchange(true);
    if (format == ImportFormat::GenericCsv && map.count("Title") == 0) {
        Dialogs().ShowMessage(Message{"Choose the column that names each card (Title).", ApplicationTitle().toStdString(), MessageButtons::Ok,
                                      MessageIcon::Warning, MessageOwner::MainWindow});
        return;
    }
    Dialog::OnOK();
}

}  // namespace tessarel
