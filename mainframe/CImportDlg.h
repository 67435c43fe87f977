#pragma once
// The Import dialog: the file chosen, its format (guessed from the content, for the person to
// confirm or change) and, for a CSV of no known program, which column fills which card field.

#include <QStringList>
#include <array>
#include <vector>

#include "exchange/GenericCsvReader.h"
#include "exchange/ImportFormat.h"
#include "framework/Dialog.h"

class QComboBox;
class QLabel;

namespace tessarel {

class CImportDlg : public Dialog {
    Q_OBJECT
public:
    explicit CImportDlg(QWidget* parent = nullptr);

    // In: the file's name and the header of its first line; in and out: the format and, for a
    // generic CSV, the mapping (target field -> column).
    QString fileName;
    QStringList columns;
    ImportFormat format = ImportFormat::GenericCsv;
    CsvFieldMap map;

    // "Import" for the combo box of the format; "Map_Title", "Map_URL", ... for the mapping.
    static QString MappingName(const std::string& target) { return QStringLiteral("Map_") + QString::fromStdString(target); }

    void OnOK() override;

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;

private:
    void ShowMapping();

    QLabel* fileLabel;
    QComboBox* formatBox;
    QWidget* mappingGroup;
    std::vector<QComboBox*> mappingBoxes;  // one per target of GenericCsvTargets()
};

}  // namespace tessarel
