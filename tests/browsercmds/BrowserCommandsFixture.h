#pragma once
// The real program offscreen with a card file open, for the browser and helper commands: the
// waits for a starting browser are recorded instead of slept, the scripted browser runs as a
// process of its own, and small shell scripts stand in for the helper programs.

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "CardsFixture.h"
#include "browser/BrowserTestSupport.h"

namespace tessarel::test {

class BrowserCommandsFixture : public CardsFixture {
protected:
    struct Wait {
        int milliseconds;
        QString statusText;  // the "Message" window's line while waiting
        bool operator==(const Wait&) const = default;
    };

    void SetUp() override;
    void TearDown() override;

    // Starts the scripted browser (serving "Netscape" and "Iexplore" unless told otherwise).
    void StartPeer(const QStringList& arguments = {});
    // The requests the scripted browser received since the last call, "Quendal<n>" written as
    // "Quendal#"; waits until there are `expected` of them.
    std::vector<std::string> TakeRequests(std::size_t expected);
    // A script that appends `name` to the record file when it runs; returns its path.
    QString HelperScript(const QString& name);
    // Names the helper scripts wrote, waiting until there are `expected`.
    QStringList Started(int expected);
    // A card in "WWW Sites" (selected afterwards) with these fields and browser options.
    CCard* AddWebCard(const QString& name, const QString& address, const QString& user, const QString& password,
                      bool automaticAccess, bool newWindow);
    // Ends a companion browser that serves the browser names, if one runs.
    static void EndCompanion();

    std::vector<Wait> waits;
    // Runs during the second wait (the browser was launched by then).
    std::function<void()> duringLaunchWait;
    std::unique_ptr<browser::testing::PeerProcess> peer;
    std::size_t requestsTaken = 0;
    QString record;
};

}  // namespace tessarel::test
