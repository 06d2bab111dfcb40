// Runs the uci API probe (library and `uci` command on one store) inside the sandbox.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/sandbox.h"

using UciProbe = SandboxTest;

TEST_F(UciProbe, LibraryAndCommandAgreeOnTheStore) {
#ifndef UCI_API_PROBE_PATH
    GTEST_SKIP() << "uci_api_probe.cpp is not beside the checkout (../shared/probes)";
#else
    std::string output = sandbox::Output(UCI_API_PROBE_PATH " 2>&1; echo exit=$?");
    EXPECT_NE(output.find("uci API probe: all checks passed\nexit=0\n"), std::string::npos)
        << output;
#endif
}
