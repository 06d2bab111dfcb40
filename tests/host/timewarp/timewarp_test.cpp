// The soak run's time compression (host/timewarp): a preloaded program's pause is shortened by
// the factor while the clock it reads still shows the whole pause.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/sandbox.h"

namespace {

using TimeWarp = SandboxTest;

TEST_F(TimeWarp, PauseShrinksAndTheClockAgrees) {
    std::string warp = std::string("LD_PRELOAD=") + WLAN_TIMEWARP_LIB + " WLAN_TIMEWARP=100 ";
    auto begin = std::chrono::steady_clock::now();
    std::string seen = sandbox::Output(warp + "sh -c 'date +%s; sleep 20; date +%s'");
    double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    long before = 0, after = 0;
    ASSERT_EQ(sscanf(seen.c_str(), "%ld %ld", &before, &after), 2) << seen;
    EXPECT_LT(real, 5.0);
    EXPECT_GE(after - before, 19);
    EXPECT_LE(after - before, 30);
}

}  // namespace
