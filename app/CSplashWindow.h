#pragma once
// The splash window: bitmap 180 over the main frame for one second, closed earlier by the first
// key or mouse press, which it swallows.

#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace tessarel {

class CSplashWindow : public QWidget {
    Q_OBJECT
public:
    static void EnableSplashScreen(bool enable);
    static bool IsEnabled();
    static void ShowSplashScreen(QWidget* parent);
    // The live splash window, or nullptr.
    static CSplashWindow* Current();
    void HideSplashScreen();

    static constexpr int kDisplayMilliseconds = 1000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    CSplashWindow(QWidget* parent, const QPixmap& bitmap);
    ~CSplashWindow() override;
    QPixmap bitmap;
    int timerId = 0;
};

}  // namespace tessarel
