#include "BackgroundClose.h"

#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace tessarel {
namespace {

struct Pending {
    std::mutex mutex;
    std::condition_variable none;
    int count = 0;
};

// Never destroyed: a closing thread may still finish while the program's statics go away.
Pending& Closes() {
    static auto* pending = new Pending;
    return *pending;
}

void CloseNow(int fd) {
    ::close(fd);
    Pending& pending = Closes();
    std::lock_guard lock(pending.mutex);
    if (--pending.count == 0) pending.none.notify_all();
}

}  // namespace

void CBackgroundClose::Close(int fd) {
    {
        std::lock_guard lock(Closes().mutex);
        ++Closes().count;
    }
    try {
        std::thread(CloseNow, fd).detach();
    } catch (const std::system_error&) {
        CloseNow(fd);
    }
}

void CBackgroundClose::Drain() {
    Pending& pending = Closes();
    std::unique_lock lock(pending.mutex);
    pending.none.wait(lock, [&] { return pending.count == 0; });
}

}  // namespace tessarel
