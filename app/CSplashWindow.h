#pragma once
// The splash window: bitmap 180 over the main frame for one second, closed earlier by the first
// key or mouse press, which it swallows. It comes up with the frame, before the start-up
// launches and the reopened file, and it steps aside for any dialog (a password prompt above
// all): it never covers one and never takes a key meant for one.

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
    // Shows the splash over `frame` the first time the frame is shown (a frame that is never
    // shown, as when printing from the command line, gets none).
    static void ShowWithFrame(QWidget* frame);
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
    // A window that is not the splash or its frame: a dialog, a message box, a password prompt.
    bool IsOtherDialog(QObject* watched) const;
    ~CSplashWindow() override;
    QPixmap bitmap;
    int timerId = 0;
};

}  // namespace tessarel
