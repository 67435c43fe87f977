#pragma once
// What the person sees while the program waits for a web browser that does not answer: after a
// moment the "Message" window says which browser and which request it waits for and how long it
// will wait still, and offers Cancel. Meanwhile the program keeps painting; the window keeps the
// person's input away from everything else, so nothing starts in the middle of the request.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include "browser/IpcInstance.h"
#include "browser/IpcWaitObserver.h"

class QTimer;

namespace tessarel {

class CMainFrame;
class CStatusMessageDlg;

class BrowserWaitNotice : public QObject, public browser::IpcWaitObserver {
    Q_OBJECT
public:
    // A prompt answer shows nothing; a wait longer than this shows the window.
    static constexpr int kShowAfterMs = 500;

    // Watches the waits of `ipc` (until this notice is destroyed).
    BrowserWaitNotice(CMainFrame& frame, browser::IpcInstance& ipc);
    ~BrowserWaitNotice() override;

    void WaitStarted(const Wait& wait) override;
    void WaitEnded() override;

    // The window's line for `wait` with `secondsLeft` to go.
    static QString Text(const Wait& wait, int secondsLeft);

private:
    void Show();
    void Tick();
    int SecondsLeft() const;

    CMainFrame& frame;
    QPointer<browser::IpcInstance> ipc;
    QTimer* delay;
    QTimer* tick;
    Wait current;
    QElapsedTimer started;
    QPointer<CStatusMessageDlg> window;
    bool ownWindow = false;   // made for this wait (else the browser command's own window)
    QString previousText;     // the line of a borrowed window, put back afterwards
};

}  // namespace tessarel
