#pragma once
// The modeless Find Card dialog (159). "Find" searches all cards of the active card file from the
// first, "Find Again" from the card after the last one found; a match is selected in the category
// tree. At most one exists; the main frame keeps it and is told when it closes.

#include <functional>
#include <vector>

#include "framework/Dialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tessarel {

class CCard;
class ChildFrame;
class CTessarelDoc;

class CFindCardDlg : public Dialog {
    Q_OBJECT
public:
    // Where the dialog searches, and whom it tells that it closed: handed in by the frame.
    struct Target {
        std::function<CTessarelDoc*()> activeDocument;
        std::function<ChildFrame*()> activeChild;
        std::function<void(CFindCardDlg*)> closed;
    };
    explicit CFindCardDlg(Target target, QWidget* parent = nullptr);

    QString searchText;
    int ignoreCase = 0;
    int lastFoundPosition = -1;
    std::vector<const CCard*> searchList;

    void OnFind();
    void OnFindAgain();
    // Cancel and Escape: the window goes and the frame forgets it.
    void reject() override;
    // Searches from `start`; returns the position of the card found, -1 when none is.
    int Search(int start);

    QPushButton* FindButton() const { return findButton; }
    QPushButton* FindAgainButton() const { return findAgainButton; }

protected:
    void DoDataExchange(bool save) override;

private:
    Target target;
    QLineEdit* searchEdit;
    QCheckBox* ignoreCaseBox;
    QPushButton* findButton;
    QPushButton* findAgainButton;
};

}  // namespace tessarel
