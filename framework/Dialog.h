#pragma once
// A modal dialog that is a plain data holder: the caller fills its members, runs it through the
// dialog seam and reads the members back after OK. Controls and members meet in one place,
// DoDataExchange, in both directions.

#include <QDialog>

namespace tessarel {

class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);

    // Runs the dialog through the installed dialog host.
    int DoModal();

    // Called by the host before the dialog is shown (or scripted): the members go into the
    // controls and the dialog sets itself up.
    void Initialise();
    // What the OK button does: the controls go into the members and, when the dialog accepts
    // them, it closes. A dialog that refuses stays open with everything typed kept.
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void OnInitDialog();
    // save false: members to controls; true: controls to members.
    virtual void DoDataExchange(bool save);
    // Checks the members OK has just filled. A refusal has said why and put the focus on the
    // control to mend; the default accepts everything.
    virtual bool AcceptMembers() { return true; }
    void UpdateData(bool save) { DoDataExchange(save); }
};

}  // namespace tessarel
