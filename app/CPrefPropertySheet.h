#pragma once
// The Preferences sheet: five pages over the stored settings. Run() is the whole Preferences
// command except refreshing the frame's cached print options, which the frame does itself.

#include <QVariant>
#include <vector>

#include "framework/Dialog.h"

class QTabWidget;

namespace tessarel {

class CInternetPage;
class CStartUpPage;
class CPathsSetPage;
class CPrintingPage;
class CSecurityPage;
struct Setting;

class CPrefPropertySheet : public Dialog {
    Q_OBJECT
public:
    explicit CPrefPropertySheet(QWidget* parent = nullptr);

    // Builds the sheet, fills it from the settings, runs it modally and writes every value on OK.
    // Returns QDialog::Accepted or QDialog::Rejected.
    static int Run(QWidget* parent);

    void LoadFromSettings();
    void WriteToSettings() const;
    struct StoredValue {
        const Setting* row;
        QVariant value;
    };
    // What OK stores, in the order it is written.
    std::vector<StoredValue> ValuesInWriteOrder() const;

    CInternetPage& internetPage() { return *internet; }
    CStartUpPage& startUpPage() { return *startUp; }
    CPathsSetPage& pathsPage() { return *paths; }
    CPrintingPage& printingPage() { return *printing; }
    CSecurityPage& securityPage() { return *security; }
    QTabWidget& tabs() { return *tabWidget; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(bool save) override;

private:
    QTabWidget* tabWidget;
    CInternetPage* internet;
    CStartUpPage* startUp;
    CPathsSetPage* paths;
    CPrintingPage* printing;
    CSecurityPage* security;
};

}  // namespace tessarel
