#pragma once
// The "Paths Settings" page of the preferences (209): the seven helper program paths, and
// "Find Path..." which fills the path whose radio button is checked.

#include <QWidget>
#include <vector>

class QLineEdit;
class QRadioButton;

namespace tessarel {

class CPathsSetPage : public QWidget {
    Q_OBJECT
public:
    explicit CPathsSetPage(QWidget* parent = nullptr);

    QString explorer;
    QString email;
    QString navigator;
    QString news;
    QString helpReader;
    QString ftp;
    QString telnet;

    void OnInitPage();
    void DoDataExchange(bool save);
    void OnFindPath();

private:
    struct Row {
        QString CPathsSetPage::*member;
        QLineEdit* edit;
        QRadioButton* choice;
    };
    void AddRow(QWidget* group, QString CPathsSetPage::*member, int editId, int radioId, const char* caption, int top);

    std::vector<Row> rows;  // in member order
    QRadioButton* explorerChoice = nullptr;
};

}  // namespace tessarel
