#pragma once
// A dialog around one multi-line text that must fit a card: the Edit URL and the Note dialogs.
// Each names its resource, title, optional label and scroll bar; editing, exchange and the check
// on OK are this class's, so both dialogs refuse a character a card cannot store the same way.

#include "framework/Dialog.h"

class QPlainTextEdit;

namespace tessarel {

class OneTextDlg : public Dialog {
    Q_OBJECT
public:
    struct Look {
        int dialogId;
        const char* title;
        const char* label;  // above the text; null: none
        int editId;
        bool scrollBarAlwaysOn;
    };

    // `text` is the derived dialog's member the edit exchanges with; it is only bound here.
    OneTextDlg(const Look& look, QString& text, QWidget* parent);

protected:
    void DoDataExchange(bool save) override;
    // The text must fit a card before the dialog closes.
    bool AcceptMembers() override;

private:
    QString& text;
    QPlainTextEdit* edit;
};

}  // namespace tessarel
