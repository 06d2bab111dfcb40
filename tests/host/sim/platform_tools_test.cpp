// The small platform tools record how they were called; wlarm records every call.
#include <gtest/gtest.h>

#include "tests/host/sim/sim_env.h"

using simenv::Sh;

namespace {

using PlatformTools = SandboxTest;

TEST_F(PlatformTools, QcmapStaInterfaceRecordsEachCall) {
    ASSERT_EQ(Sh("/usr/bin/QCMAP_StaInterface eth0 CONNECTED").status, 0);
    ASSERT_EQ(Sh("/usr/bin/QCMAP_StaInterface eth0 DISCONNECTED").status, 0);
    EXPECT_EQ(sandbox::ReadFile("/var/run/QCMAP_StaInterface.log"),
              "eth0 CONNECTED\neth0 DISCONNECTED\n");
    EXPECT_NE(Sh("/usr/bin/QCMAP_StaInterface").status, 0);
}

TEST_F(PlatformTools, UsleepRecordsEachCallAndRefusesNonNumbers) {
    EXPECT_EQ(Sh("usleep 200000").status, 0);
    EXPECT_NE(Sh("usleep 2s").status, 0);
    EXPECT_NE(Sh("usleep").status, 0);
    EXPECT_EQ(sandbox::ReadFile("/var/run/usleep.log"), "200000\n2s\n\n");
}

TEST_F(PlatformTools, WlarmRecordsEveryCallOneLineEach) {
    ASSERT_EQ(Sh("wlarm -i eth0 get_scan_status").status, 0);
    ASSERT_EQ(Sh("wlarm ssid 'two words'").status, 0);
    Sh("wlarm frobnicate");
    EXPECT_EQ(
        simenv::Lines(sandbox::ReadFile("/var/run/wlarm/calls.log")),
        (std::vector<std::string>{"-i eth0 get_scan_status", "ssid 'two words'", "frobnicate"}));
}

TEST_F(PlatformTools, ResetForgetsTheRadio) {
    ASSERT_EQ(Sh("wlarm up && wlarm ssid x && wlarm-sim sta add 02:00:00:00:00:01").status, 0);
    ASSERT_EQ(Sh("wlarm-sim reset").status, 0);
    EXPECT_EQ(Sh("wlarm isup").out, "0\n");
    EXPECT_EQ(Sh("wlarm ssid").out, "Current SSID: \"\"\n");
    EXPECT_EQ(Sh("wlarm assoclist").out, "");
}

}  // namespace
