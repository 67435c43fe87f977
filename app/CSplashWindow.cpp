#include "CSplashWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

#include "resources/ResourceIds.h"
#include "resources/Resources.h"

namespace tessarel {

namespace {
bool splashEnabled = true;
CSplashWindow* liveSplash = nullptr;
}  // namespace

void CSplashWindow::EnableSplashScreen(bool enable) { splashEnabled = enable; }
bool CSplashWindow::IsEnabled() { return splashEnabled; }
CSplashWindow* CSplashWindow::Current() { return liveSplash; }

void CSplashWindow::ShowSplashScreen(QWidget* parent) {
    if (!splashEnabled || liveSplash) return;
    QPixmap bitmap = ResourceBitmap(res::BitmapSplash);
    if (bitmap.isNull()) return;  // no splash, start-up goes on
    liveSplash = new CSplashWindow(parent, bitmap);
    liveSplash->show();
    liveSplash->repaint();
}

CSplashWindow::CSplashWindow(QWidget* parent, const QPixmap& picture)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), bitmap(picture) {
    setObjectName(QStringLiteral("CSplashWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(bitmap.size());
    setCursor(Qt::ArrowCursor);
    QRect area = parent ? parent->frameGeometry() : QRect();
    if (area.isValid()) move(area.center() - rect().center());
    timerId = startTimer(kDisplayMilliseconds);
    qApp->installEventFilter(this);
}

CSplashWindow::~CSplashWindow() {
    if (liveSplash == this) liveSplash = nullptr;
}

void CSplashWindow::HideSplashScreen() {
    qApp->removeEventFilter(this);
    if (timerId) killTimer(timerId);
    timerId = 0;
    liveSplash = nullptr;
    QWidget* owner = parentWidget();
    close();
    if (owner) owner->update();
}

bool CSplashWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            // The press closes the splash and goes no further.
            HideSplashScreen();
            return true;
        default: return QWidget::eventFilter(watched, event);
    }
}

void CSplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, bitmap);
}

void CSplashWindow::timerEvent(QTimerEvent*) { HideSplashScreen(); }

}  // namespace tessarel
