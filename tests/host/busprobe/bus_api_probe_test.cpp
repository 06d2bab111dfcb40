// Runs the bus API probe (libubox, libubus and blobmsg_json used as the library and its host
// use them) against the libraries this build selected.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/sandbox.h"

TEST(BusApiProbe, PassesAgainstTheSelectedLibraries) {
#ifndef WLANMGR_BUS_API_PROBE
    GTEST_SKIP() << "bus_api_probe.cpp is not beside the checkout (../shared/probes)";
#else
    std::string output = sandbox::Output(WLANMGR_BUS_API_PROBE " 2>&1; echo exit=$?");
    EXPECT_NE(output.find("bus API probe: all checks passed\nexit=0\n"), std::string::npos)
        << output;
#endif
}
