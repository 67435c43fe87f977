#pragma once
// A password on the system clipboard: marked secret for clipboard managers, and taken off again
// after the "Clear Clipboard Seconds" setting's delay and when the program ends, unless the
// person has copied something else meanwhile.
//
// The mark is the MIME entry "x-kde-passwordManagerHint" = "secret", which the common Linux
// clipboard managers (Klipper, GPaste, CopyQ and others) take as "do not keep in the history".
// To tell whether the clipboard still holds the password without keeping a copy of it, the class
// keeps only a salted SHA-256 digest of the text. The text itself lives in one buffer that the
// clipboard's data shares; it is overwritten with zeros when the clipboard lets go of it.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>

class QMimeData;

namespace tessarel {

class SecretClipboard : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kHintFormat = "x-kde-passwordManagerHint";
    static constexpr const char* kHintValue = "secret";
    // The longest delay taken from the setting (a day); QTimer counts in int milliseconds.
    static constexpr int kLongestDelaySeconds = 24 * 60 * 60;

    // `second` is the length of one of the setting's seconds: tests shorten it.
    explicit SecretClipboard(std::chrono::milliseconds second = std::chrono::seconds(1), QObject* parent = nullptr);
    ~SecretClipboard() override;

    // The program's one instance: it clears the clipboard when the application is about to quit.
    static SecretClipboard& Shared();

    // Puts `text` on the clipboard marked secret and starts the clearing delay of
    // `clearAfterSeconds` (0 or less: never). False when the clipboard did not take it.
    bool Place(const QString& text, int clearAfterSeconds);
    // Same, with the delay of the "Clear Clipboard Seconds" setting.
    bool Place(const QString& text);
    // Empties the clipboard now if it still holds the text Place put there; true when it did.
    bool ClearIfStillOurs();
    // The application's end: clears as ClearIfStillOurs unless the password was placed with a
    // delay of 0, which never clears.
    bool ClearAtExit();
    // Whether the clipboard holds what Place put there (compared by digest).
    bool StillOurs() const;
    // Whether a clearing is due (a delay is running).
    bool ClearingPending() const { return timer.isActive(); }

signals:
    // A line for the status bar: when the clipboard will be cleared, and that it was.
    void statusText(const QString& text);

private:
    QByteArray DigestOf(QByteArrayView utf8) const;
    void TimerExpired();
    void MimeDataDestroyed(QObject* mime);
    void Forget();

    std::chrono::milliseconds secondLength;
    QTimer timer;
    bool clearsAtExit = false;  // the last Place asked for clearing
    QByteArray salt;
    QByteArray digest;                // of the placed text's UTF-8; empty when nothing is placed
    QPointer<QMimeData> placedData;   // the clipboard's data object while it lives
    const QObject* placedObject = nullptr;  // the same, for telling it apart while it is destroyed
    QByteArray placedBytes;           // shares the clipboard's buffer, to wipe it in place
};

}  // namespace tessarel
