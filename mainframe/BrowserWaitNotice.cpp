#include "BrowserWaitNotice.h"

#include <QTimer>

#include "CMainFrame.h"
#include "CStatusMessageDlg.h"

namespace tessarel {

BrowserWaitNotice::BrowserWaitNotice(CMainFrame& owner, browser::IpcInstance& instance)
    : QObject(&owner), frame(owner), ipc(&instance), delay(new QTimer(this)), tick(new QTimer(this)) {
    setObjectName(QStringLiteral("BrowserWaitNotice"));
    delay->setSingleShot(true);
    delay->setInterval(kShowAfterMs);
    connect(delay, &QTimer::timeout, this, &BrowserWaitNotice::Show);
    tick->setInterval(1000);
    connect(tick, &QTimer::timeout, this, &BrowserWaitNotice::Tick);
    instance.SetWaitObserver(this);
}

BrowserWaitNotice::~BrowserWaitNotice() {
    if (ipc && ipc->WaitObserver() == this) ipc->SetWaitObserver(nullptr);
}

QString BrowserWaitNotice::Text(const Wait& wait, int secondsLeft) {
    const QString what = wait.connecting ? QStringLiteral("to take up %1").arg(wait.topic) : QStringLiteral("to answer %1").arg(wait.topic);
    return QStringLiteral("Waiting for the web browser (%1) %2: %3 seconds left.").arg(wait.service, what).arg(secondsLeft);
}

int BrowserWaitNotice::SecondsLeft() const {
    const qint64 left = current.timeoutMs - started.elapsed();
    return left <= 0 ? 0 : static_cast<int>((left + 999) / 1000);
}

void BrowserWaitNotice::WaitStarted(const Wait& wait) {
    current = wait;
    started.start();
    delay->start();
}

void BrowserWaitNotice::Show() {
    if (!ipc) return;
    window = qobject_cast<CStatusMessageDlg*>(frame.StatusMessageWindow());
    ownWindow = !window;
    if (ownWindow) {
        window = new CStatusMessageDlg(&frame);
        window->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        previousText = window->Text();
    }
    // Modal to the whole program, so that the person can reach Cancel and nothing else; a shown
    // window takes a new modality only when it is shown again.
    window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    window->SetText(Text(current, SecondsLeft()));
    QPointer<browser::IpcInstance> instance = ipc;
    window->OfferCancel([instance] {
        if (instance) instance->CancelWait();
    });
    window->show();
    window->raise();
    tick->start();
    ipc->SetUserInputWhileWaiting(true);
}

void BrowserWaitNotice::Tick() {
    if (window) window->SetText(Text(current, SecondsLeft()));
}

void BrowserWaitNotice::WaitEnded() {
    delay->stop();
    tick->stop();
    if (!window) return;
    window->OfferCancel({});
    if (ownWindow) {
        window->close();
    } else {
        window->hide();
        window->setWindowModality(Qt::NonModal);
        window->SetText(previousText);
        window->show();
    }
    window = nullptr;
}

}  // namespace tessarel
