#include "LockKeyIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace tessarel {

namespace {

QLabel* Pane(QStatusBar& bar, const char* text) {
    auto* pane = new QLabel(QString::fromLatin1(text), &bar);
    pane->setObjectName(QString::fromLatin1(text));
    pane->setEnabled(false);
    bar.addPermanentWidget(pane);
    return pane;
}

}  // namespace

LockKeyIndicators::LockKeyIndicators(QStatusBar& bar)
    : QObject(&bar), caps(Pane(bar, "CAP")), num(Pane(bar, "NUM")), scroll(Pane(bar, "SCRL")), poll(new QTimer(this)), soon(new QTimer(this)) {
    setObjectName(QStringLiteral("LockKeyIndicators"));
    poll->setInterval(kPollMilliseconds);
    connect(poll, &QTimer::timeout, this, &LockKeyIndicators::Refresh);
    soon->setSingleShot(true);
    soon->setInterval(0);
    connect(soon, &QTimer::timeout, this, &LockKeyIndicators::Refresh);
    qApp->installEventFilter(this);
}

LockKeyIndicators* LockKeyIndicators::Install(QStatusBar& bar) {
    auto* indicators = new LockKeyIndicators(bar);
    indicators->SetSource(MakePlatformLockKeySource());
    return indicators;
}

LockKeyIndicators* LockKeyIndicators::Of(const QStatusBar& bar) {
    return bar.findChild<LockKeyIndicators*>(QStringLiteral("LockKeyIndicators"), Qt::FindDirectChildrenOnly);
}

void LockKeyIndicators::SetSource(std::unique_ptr<LockKeySource> newSource) {
    source = std::move(newSource);
    Refresh();
}

void LockKeyIndicators::Refresh() {
    const LockKeyStates states = source ? source->Read() : LockKeyStates{};
    Show(caps, "Caps Lock", states.capsLock);
    Show(num, "Num Lock", states.numLock);
    Show(scroll, "Scroll Lock", states.scrollLock);
    // Asking again is worth it only where the platform answers at all.
    const bool reported = states.capsLock || states.numLock || states.scrollLock;
    if (reported && !poll->isActive()) poll->start();
    if (!reported) poll->stop();
}

void LockKeyIndicators::Show(QLabel* pane, const char* keyName, std::optional<bool> state) {
    pane->setEnabled(state.value_or(false));
    pane->setToolTip(state ? QString() : QString::fromLatin1(kUnreportedTip));
    const char* word = !state ? "unknown" : *state ? "on" : "off";
    pane->setAccessibleName(QStringLiteral("%1 %2").arg(QString::fromLatin1(keyName), QString::fromLatin1(word)));
}

bool LockKeyIndicators::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ApplicationActivate:
            // A key event passes here once for every widget on its way up: one look serves them all.
            if (!soon->isActive()) soon->start();
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tessarel
