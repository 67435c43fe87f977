#pragma once
// The lock keys' state from an X server's XKB keyboard indicators ("Caps Lock", "Num Lock",
// "Scroll Lock"), the lights the server keeps for the keyboard. It holds its own connection to the
// display, so it does not depend on how the toolkit talks to the server.

#include <QByteArray>

#include "LockKeySource.h"

namespace tessarel {

class XkbLockKeySource : public LockKeySource {
public:
    // Connects to `display` (the DISPLAY variable's form, e.g. ":99"); Valid() tells whether it
    // could, and whether the server has the XKB extension.
    explicit XkbLockKeySource(const QByteArray& display);
    ~XkbLockKeySource() override;
    XkbLockKeySource(const XkbLockKeySource&) = delete;
    XkbLockKeySource& operator=(const XkbLockKeySource&) = delete;

    bool Valid() const { return connection != nullptr; }
    LockKeyStates Read() override;

private:
    std::optional<bool> Indicator(unsigned long atom) const;

    void* connection = nullptr;  // the Display, kept opaque so Xlib's macros stay out of headers
    unsigned long capsAtom = 0;
    unsigned long numAtom = 0;
    unsigned long scrollAtom = 0;
};

}  // namespace tessarel
