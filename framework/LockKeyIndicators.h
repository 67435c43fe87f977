#pragma once
// The CAP, NUM and SCRL panes of a status bar: each shows its text normally while its lock is
// on and greyed while it is off, as the framework's indicators always have. A state the
// platform does not report shows greyed too, with a tool tip that says so. The panes are read
// again on every key the program sees, when the program becomes active, and once a second
// (a lock may change in another program).

#include <QObject>
#include <memory>
#include <optional>

#include "LockKeySource.h"

class QLabel;
class QStatusBar;
class QTimer;

namespace tessarel {

class LockKeyIndicators : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMilliseconds = 1000;
    static constexpr const char* kUnreportedTip = "The system does not report this key's state here";

    // Adds the three panes (named "CAP", "NUM" and "SCRL") to the right of `bar` and keeps them
    // up to date from the platform's source.
    static LockKeyIndicators* Install(QStatusBar& bar);
    // The indicators of `bar`, or nullptr.
    static LockKeyIndicators* Of(const QStatusBar& bar);

    void SetSource(std::unique_ptr<LockKeySource> source);
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit LockKeyIndicators(QStatusBar& bar);
    static void Show(QLabel* pane, const char* keyName, std::optional<bool> state);

    QLabel* caps;
    QLabel* num;
    QLabel* scroll;
    std::unique_ptr<LockKeySource> source;
    QTimer* poll;
    QTimer* soon;  // a look after the key events now being delivered
};

}  // namespace tessarel
