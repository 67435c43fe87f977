#include "framework/SecretClipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QMimeData>
#include <QRandomGenerator>
#include <algorithm>

#include "core/SecureBuffer.h"
#include "framework/Settings.h"

namespace tessarel {

namespace {

constexpr const char* kTextFormat = "text/plain";
constexpr int kSaltBytes = 16;

QByteArray RandomSalt() {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    return salt;
}

// Overwrites the characters of a buffer that the clipboard's data may share: every holder is
// about to let go of it, and the one holding the password must not leave it in freed memory.
void WipeShared(QByteArray& bytes) {
    if (!bytes.isEmpty()) SecureWipe(const_cast<char*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
    bytes = QByteArray();
}

QString ScheduledText(int seconds) {
    if (seconds <= 0) return QStringLiteral("Password copied; the clipboard will not be cleared (Clear Clipboard Seconds is 0).");
    return QStringLiteral("Password copied; the clipboard will be cleared in %1 %2.")
        .arg(seconds)
        .arg(seconds == 1 ? QStringLiteral("second") : QStringLiteral("seconds"));
}

}  // namespace

SecretClipboard::SecretClipboard(std::chrono::milliseconds second, QObject* parent)
    : QObject(parent), secondLength(second) {
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &SecretClipboard::TimerExpired);
}

SecretClipboard::~SecretClipboard() {
    // The clipboard may still offer the text (no clearing was asked for): it keeps its buffer,
    // so only our share of it goes.
    placedBytes = QByteArray();
    Forget();
}

SecretClipboard& SecretClipboard::Shared() {
    static QPointer<SecretClipboard> instance;
    if (!instance) {
        instance = new SecretClipboard(std::chrono::seconds(1), QCoreApplication::instance());
        // Before the platform's clipboard is torn down: on X11 Qt would hand what we still own to
        // the clipboard manager at that point, password included.
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, instance.data(),
                [clipboard = instance.data()] { clipboard->ClearAtExit(); });
    }
    return *instance;
}

bool SecretClipboard::Place(const QString& text) { return Place(text, ReadInt(setting::ClearClipboardSeconds)); }

bool SecretClipboard::Place(const QString& text, int clearAfterSeconds) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    timer.stop();
    QByteArray utf8 = text.toUtf8();
    const QByteArray newSalt = RandomSalt();
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kTextFormat), utf8);
    data->setData(QString::fromLatin1(kHintFormat), QByteArray(kHintValue));
    connect(data, &QObject::destroyed, this, &SecretClipboard::MimeDataDestroyed);
    // Replacing a password placed earlier destroys its data here, which wipes it.
    clipboard->setMimeData(data);
    salt = newSalt;
    digest = DigestOf(utf8);
    placedData = data;
    placedObject = data;
    placedBytes = std::move(utf8);  // shares the clipboard's buffer: no second copy
    if (!StillOurs()) {
        Forget();
        return false;
    }
    const int seconds = std::clamp(clearAfterSeconds, 0, kLongestDelaySeconds);
    clearsAtExit = seconds > 0;
    if (seconds > 0) timer.start(secondLength * seconds);
    emit statusText(ScheduledText(seconds));
    return true;
}

bool SecretClipboard::StillOurs() const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (digest.isEmpty() || !clipboard) return false;
    const QMimeData* now = clipboard->mimeData();
    if (!now) return false;
    if (placedData && now == placedData.data()) return true;
    // Another data object (the platform may hand back its own): compare what it holds.
    QByteArray held = now->data(QString::fromLatin1(kTextFormat));
    const bool same = DigestOf(held) == digest;
    if (same) SecureWipe(held.data(), static_cast<std::size_t>(held.size()));
    return same;
}

bool SecretClipboard::ClearIfStillOurs() {
    timer.stop();
    const bool ours = StillOurs();
    if (ours) QGuiApplication::clipboard()->clear();
    // Clearing destroyed the data, which wiped it; what is left of ours goes too.
    Forget();
    return ours;
}

bool SecretClipboard::ClearAtExit() {
    if (!clearsAtExit) return false;
    return ClearIfStillOurs();
}

QByteArray SecretClipboard::DigestOf(QByteArrayView utf8) const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(utf8);
    return hash.result();
}

void SecretClipboard::TimerExpired() {
    if (ClearIfStillOurs()) emit statusText(QStringLiteral("The clipboard was cleared."));
    else emit statusText(QStringLiteral("The clipboard was left as it is: something else was copied after the password."));
}

void SecretClipboard::MimeDataDestroyed(QObject* data) {
    // The clipboard lets go of the text (cleared, or replaced by another copy): its buffer goes
    // with it, wiped.
    if (data != placedObject) return;
    placedObject = nullptr;
    WipeShared(placedBytes);
}

void SecretClipboard::Forget() {
    timer.stop();
    WipeShared(placedBytes);
    digest = QByteArray();
    salt = QByteArray();
    placedData = nullptr;
    placedObject = nullptr;
    clearsAtExit = false;
}

}  // namespace tessarel
