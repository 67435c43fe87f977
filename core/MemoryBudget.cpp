#include "MemoryBudget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>

namespace tessarel {
namespace {

constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

// "MemAvailable": what the system can hand out without swapping or killing (Linux 3.14 and later).
std::uint64_t SystemAvailable() {
    std::ifstream info("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (info >> key >> kilobytes) {
        std::getline(info, unit);
        if (key == "MemAvailable:") return kilobytes * 1024;
    }
    return kUnlimited;
}

// Headroom under a limit set on the process, given how much of it is used already.
std::uint64_t Headroom(int resource, std::uint64_t used) {
    struct rlimit limit {};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimited;
    const auto cap = static_cast<std::uint64_t>(limit.rlim_cur);
    return cap > used ? cap - used : 0;
}

// The address space and the data segment in use, from /proc/self/statm (in pages).
void Usage(std::uint64_t& addressSpace, std::uint64_t& data) {
    addressSpace = 0;
    data = 0;
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0, shared = 0, text = 0, library = 0, dataPages = 0;
    if (!(statm >> size >> resident >> shared >> text >> library >> dataPages)) return;
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    addressSpace = size * page;
    data = dataPages * page;
}

}  // namespace

std::uint64_t AvailableMemory() {
    std::uint64_t addressSpace = 0, data = 0;
    Usage(addressSpace, data);
    return std::min({SystemAvailable(), Headroom(RLIMIT_AS, addressSpace), Headroom(RLIMIT_DATA, data)});
}

}  // namespace tessarel
