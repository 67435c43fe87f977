#pragma once
// Where the status bar's CAP, NUM and SCRL indicators learn the lock keys' state. Qt tells a
// program which modifiers are held, not which locks are on, so the state comes from the window
// system: on X11 from XKB's keyboard indicators; elsewhere (Wayland, offscreen) nothing reports
// it and every state is unknown. Tests put in a source of their own.

#include <memory>
#include <optional>

namespace tessarel {

struct LockKeyStates {
    // nullopt: the platform does not say.
    std::optional<bool> capsLock;
    std::optional<bool> numLock;
    std::optional<bool> scrollLock;
    bool operator==(const LockKeyStates&) const = default;
};

class LockKeySource {
public:
    virtual ~LockKeySource() = default;
    virtual LockKeyStates Read() = 0;
};

// The source of the platform the program runs on: XKB when the program runs on an X display
// (and the build has Xlib), otherwise one that reports every state as unknown.
std::unique_ptr<LockKeySource> MakePlatformLockKeySource();

}  // namespace tessarel
