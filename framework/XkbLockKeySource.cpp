#include "XkbLockKeySource.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace tessarel {

namespace {
Display* AsDisplay(void* connection) { return static_cast<Display*>(connection); }
}  // namespace

XkbLockKeySource::XkbLockKeySource(const QByteArray& display) {
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    Display* opened = XkbOpenDisplay(display.isEmpty() ? nullptr : display.constData(), nullptr, nullptr, &major, &minor, &reason);
    if (!opened) return;
    connection = opened;
    capsAtom = XInternAtom(opened, "Caps Lock", False);
    numAtom = XInternAtom(opened, "Num Lock", False);
    scrollAtom = XInternAtom(opened, "Scroll Lock", False);
}

XkbLockKeySource::~XkbLockKeySource() {
    if (connection) XCloseDisplay(AsDisplay(connection));
}

std::optional<bool> XkbLockKeySource::Indicator(unsigned long atom) const {
    Bool on = False;
    int index = 0;
    Bool real = False;
    // A keymap without that indicator cannot tell: the state stays unknown.
    if (!XkbGetNamedIndicator(AsDisplay(connection), static_cast<Atom>(atom), &index, &on, nullptr, &real)) return std::nullopt;
    return on == True;
}

LockKeyStates XkbLockKeySource::Read() {
    if (!connection) return {};
    return {Indicator(capsAtom), Indicator(numAtom), Indicator(scrollAtom)};
}

}  // namespace tessarel
