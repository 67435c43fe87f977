#pragma once
// Closes descriptors on threads of their own. The last close of a file whose name is gone gives
// its space back, and a file system that discards freed blocks does that at the device's pace
// (some 35 ms for 256 MiB here): an operation that removed its input need not wait for it.

namespace tessarel {

class CBackgroundClose {
public:
    // Takes `fd` over and closes it in the background (at once when no thread can be started).
    static void Close(int fd);
    // Waits until every descriptor handed over so far is closed.
    static void Drain();
};

}  // namespace tessarel
