#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

TEST(BusApiProbe, PassesAgainstTheSelectedLibraries) {
#ifndef WLANMGR_BUS_API_PROBE
    GTEST_SKIP() << "bus API probe not built: ../shared/probes/bus_api_probe.cpp is not beside "
                    "the checkout";
#else
    FILE* probe = popen(WLANMGR_BUS_API_PROBE " 2>&1", "r");
    ASSERT_NE(probe, nullptr);
    std::string output;
    char chunk[256];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), probe)) > 0) output.append(chunk, got);
    int status = pclose(probe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    EXPECT_NE(output.find("bus API probe: all checks passed"), std::string::npos) << output;
#endif
}

}  // namespace
