// The save fault tests mount small file systems of their own (a full disk, a read-only folder).
// Mounting needs privileges an ordinary user has only inside a user namespace of its own, so
// before any test runs the process enters a new user and mount namespace where it is root; the
// mounts stay private to it. Where the system allows no such namespace, the process stays as it
// is and the mounting tests find out for themselves.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

bool WriteProcFile(const char* path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.close();
    return !out.fail();
}

void EnterPrivateMountNamespace() {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return;
    // Group changes must be refused before an ordinary user may write the group map.
    WriteProcFile("/proc/self/setgroups", "deny");
    WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
    WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    // Mounts made from here on are seen by this process only.
    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    EnterPrivateMountNamespace();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
