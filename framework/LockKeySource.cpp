#include "LockKeySource.h"

#include <QGuiApplication>

#ifdef TESSAREL_HAVE_XKB
#include "XkbLockKeySource.h"
#endif

namespace tessarel {

namespace {

class UnreportedLockKeys : public LockKeySource {
public:
    LockKeyStates Read() override { return {}; }
};

}  // namespace

std::unique_ptr<LockKeySource> MakePlatformLockKeySource() {
#ifdef TESSAREL_HAVE_XKB
    // Only a program that is on the X display asks it: one on Wayland or offscreen would read
    // the state of some other seat's keyboard.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto xkb = std::make_unique<XkbLockKeySource>(qgetenv("DISPLAY"));
        if (xkb->Valid()) return xkb;
    }
#endif
    return std::make_unique<UnreportedLockKeys>();
}

}  // namespace tessarel
