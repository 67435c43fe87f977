#pragma once
// Where CI says every test must run (scripts/test.sh sets TESSAREL_TESTS_MUST_RUN=1), a test that
// lacks what it needs (a tool, the right to mount) fails with the reason instead of skipping, so no
// test is skipped unnoticed there. Elsewhere it skips with the same reason.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace tessarel::testing {

inline bool TestsMustRun() {
    const char* value = std::getenv("TESSAREL_TESTS_MUST_RUN");
    return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

}  // namespace tessarel::testing

#define TESSAREL_SKIP_UNLESS_REQUIRED(reason)                                              \
    do {                                                                                   \
        if (::tessarel::testing::TestsMustRun())                                           \
            GTEST_FAIL() << "this test must run here (TESSAREL_TESTS_MUST_RUN): " << reason; \
        else                                                                               \
            GTEST_SKIP() << reason;                                                        \
    } while (false)
