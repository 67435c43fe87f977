#include "CSplashWindow.h"

#include <QApplication>
#include <QDialog>
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
    // A dialog already waiting for the person keeps the screen.
    if (QApplication::activeModalWidget()) return;
    QPixmap bitmap = ResourceBitmap(res::BitmapSplash);
    if (bitmap.isNull()) return;  // no splash, start-up goes on
    liveSplash = new CSplashWindow(parent, bitmap);
    liveSplash->show();
    liveSplash->repaint();
}

namespace {

// Waits for the frame's first show; the splash then comes up at once, before start-up goes on.
class ShowOnFirstShow : public QObject {
public:
    explicit ShowOnFirstShow(QWidget* frame) : QObject(frame) { frame->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            watched->removeEventFilter(this);
            deleteLater();
            CSplashWindow::ShowSplashScreen(static_cast<QWidget*>(watched));
        }
        return false;
    }
};

}  // namespace

void CSplashWindow::ShowWithFrame(QWidget* frame) {
    if (!frame || !splashEnabled) return;
    if (frame->isVisible()) {
        ShowSplashScreen(frame);
        return;
    }
    new ShowOnFirstShow(frame);
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

bool CSplashWindow::IsOtherDialog(QObject* watched) const {
    if (!watched->isWidgetType() || watched == this || watched == parentWidget()) return false;
    const auto* widget = static_cast<const QWidget*>(watched);
    return widget->isWindow() && (widget->isModal() || qobject_cast<const QDialog*>(widget) != nullptr);
}

bool CSplashWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
            // A dialog needs the person now: the splash goes, and the dialog gets every key.
            if (IsOtherDialog(watched)) HideSplashScreen();
            return false;
        case QEvent::ShortcutOverride:
            // A key that is an accelerator (X alone is Exit) must not act while the splash
            // shows: claiming it here sends it on as a plain key press, which the splash takes.
            if (!isVisible()) return false;
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            // Only a splash the person can see takes the press; once it is hidden by whatever
            // means, presses go where they were meant to.
            if (!isVisible()) {
                HideSplashScreen();
                return false;
            }
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
