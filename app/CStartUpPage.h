#pragma once
// The "At Startup" page of the preferences (106): the helper programs started with the program
// and whether the most recent card file is opened.

#include <QWidget>

class QCheckBox;

namespace tessarel {

class CStartUpPage : public QWidget {
    Q_OBJECT
public:
    explicit CStartUpPage(QWidget* parent = nullptr);

    int email = 0;
    int ftp = 0;
    int news = 0;
    int telnet = 0;
    int webBrowser = 0;
    int openRecent = 0;

    void OnInitPage() { DoDataExchange(false); }
    void DoDataExchange(bool save);

private:
    QCheckBox* Box(int id, const char* caption, QWidget* group, int top);

    QCheckBox* emailBox;
    QCheckBox* ftpBox;
    QCheckBox* newsBox;
    QCheckBox* telnetBox;
    QCheckBox* browserBox;
    QCheckBox* recentBox;
};

}  // namespace tessarel
