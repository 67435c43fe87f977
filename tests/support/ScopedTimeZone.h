#pragma once
// Sets the process's time zone for the life of the object and puts the previous one back, so a
// test that depends on the zone names it itself instead of relying on how it was started.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace tessarel::testing {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) previous = old;
        Set(zone);
    }
    ~ScopedTimeZone() {
        if (previous)
            Set(previous->c_str());
        else {
            ::unsetenv("TZ");
            ::tzset();
        }
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

    static void Set(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }

private:
    std::optional<std::string> previous;
};

}  // namespace tessarel::testing
