#pragma once
// The "Printing" page of the preferences (107): whether notes and ATM/PIN cards are printed.

#include <QWidget>

class QCheckBox;

namespace tessarel {

class CPrintingPage : public QWidget {
    Q_OBJECT
public:
    explicit CPrintingPage(QWidget* parent = nullptr);

    int printNotes = 0;
    int printAtm = 0;

    void OnInitPage() { DoDataExchange(false); }
    void DoDataExchange(bool save);

private:
    QCheckBox* notesBox;
    QCheckBox* atmBox;
};

}  // namespace tessarel
