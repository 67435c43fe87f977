#pragma once
// Makes file modes bind this thread as they bind an ordinary user, also when the tests run as
// root: the capabilities that override them are taken out of the effective set for the life of the
// object and put back afterwards. So a test of a read-only folder runs everywhere instead of
// skipping under root.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace tessarel::testing {

class FileModesApply {
public:
    FileModesApply() {
        if (::syscall(SYS_capget, &header, saved) != 0) return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, saved, sizeof saved);
        for (const unsigned capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[capability / 32].effective &= ~(1u << (capability % 32));
        active = ::syscall(SYS_capset, &header, reduced) == 0;
    }
    ~FileModesApply() {
        if (active) ::syscall(SYS_capset, &header, saved);
    }
    FileModesApply(const FileModesApply&) = delete;
    FileModesApply& operator=(const FileModesApply&) = delete;

    // False when the capabilities could not be changed (the modes may not bind then).
    bool Active() const { return active; }

private:
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {};
    bool active = false;
};

}  // namespace tessarel::testing
