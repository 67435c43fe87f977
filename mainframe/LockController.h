#pragma once
// Locking encrypted card files. Lock takes every card of an encrypted card document out of memory
// (the texts wiped as they go) together with the document's copies of its password, and puts a
// locked pane in its windows; the password typed there reads the file again. Locks come from the
// Lock command, from the program sitting idle for "Lock After Minutes", and from the desktop
// session locking (the screen-saver signal on the session bus) while "Lock With Session" is on.
// Plain card files are never locked: their cards are on the disk in clear anyway.

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <vector>

class QTimer;

namespace tessarel {

class CLockedPane;
class CMainFrame;
class CTessarelDoc;

class LockController : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Locked,
        AlreadyLocked,
        NotEncrypted,  // a plain card file: not locked, and nothing said
        NoFile,        // never saved: there is no file to read the cards back from
        Unsaved,       // changes and no Automatic Save
        SaveFailed,    // Automatic Save tried and the file could not be written
        Busy,          // a dialog is open and may hold the document's cards
    };

    explicit LockController(CMainFrame& frame);
    ~LockController() override;

    // Locks every open card document that can be locked; the status bar says which were not and
    // why. Returns how many were locked by this call. Only a lock the person `asked` for says
    // that there was nothing to lock (an idle or session lock then leaves the status bar alone).
    int LockAll(bool asked = true);
    Outcome Lock(CTessarelDoc& document);
    // Reads the locked document's file again with `password`; the reader's own messages say why
    // when it cannot, and the document stays locked.
    bool Unlock(CTessarelDoc& document, const QString& password);
    bool IsLocked(const CTessarelDoc& document) const;
    // The status bar text for a document that was not locked (empty when nothing is to be said).
    static QString NotLockedText(const CTessarelDoc& document, Outcome outcome);

    // Takes "Lock After Minutes" afresh (after the preferences were stored).
    void ApplySettings();
    // The idle timer and what it does when it runs out (public so that tests can drive it).
    QTimer* IdleTimer() const { return idleTimer; }
    void OnIdleTimeout();

    // Listens for the desktop session's screen-saver signal on `bus`: the freedesktop and the
    // GNOME interfaces, from any sender and path. False when the bus is not there.
    bool ListenForSessionLock(const QDBusConnection& bus);

    // The commands that act on a document's cards: off in a locked card window.
    static const std::vector<int>& CommandsNeedingCards();

public slots:
    void OnScreenSaverActiveChanged(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct LockedState {
        QString category;  // the category selected when it was locked
    };
    bool DialogOpen() const;
    // Locks later, when the open dialog has closed (a request that arrived under it).
    void LockWhenDialogsClose();
    void Wipe(CTessarelDoc& document);
    void ShowPanes(CTessarelDoc& document);
    void RestoreSelection(CTessarelDoc& document, const QString& category);
    void ShowStatus(const QString& text);

    CMainFrame& frame;
    QTimer* idleTimer;
    QTimer* retryTimer;
    bool idleLockOn = false;
    std::map<const CTessarelDoc*, LockedState> locked;
};

}  // namespace tessarel
