// Scan status, scan results and connection info of the station interface.
#include <gtest/gtest.h>

#include "tests/host/sim/sim_env.h"

using simenv::Sh;

namespace {

constexpr const char* kScanText =
    "2\n"
    "Cafe \"Net\"\n75\n0\nWPA2-PSK AES\nWPA2\n\n"
    "Open\n20\n0\nNONE\nNONE\n\n";

using Scan = SandboxTest;

// A load from a missing file fails and keeps the old fixture.
TEST_F(Scan, EscanresultsPrintsTheLoadedFixtureUntilCleared) {
    EXPECT_EQ(Sh("wlarm -i eth0 escanresults").out, "0\n");
    EXPECT_EQ(Sh("wlarm -i eth0 connectedinfo").out, "Not associated\n");
    sandbox::WriteFile("/tmp/scan.txt", kScanText);
    ASSERT_EQ(Sh("wlarm-sim scan load /tmp/scan.txt").status, 0);
    EXPECT_NE(Sh("wlarm-sim scan load /tmp/missing.txt").status, 0);
    ASSERT_EQ(Sh("wlarm -i eth0 escanresults > /etc/scan_results").status, 0);
    EXPECT_EQ(sandbox::ReadFile("/etc/scan_results"), kScanText);
    ASSERT_EQ(Sh("wlarm-sim scan clear").status, 0);
    EXPECT_EQ(Sh("wlarm escanresults").out, "0\n");
}

TEST_F(Scan, ConnectedInfoComesFromStandardInputToo) {
    const std::string info = "Connected\nHome\n60\n0\nWPA2-PSK AES\nWPA2\n";
    ASSERT_EQ(Sh("printf %s '" + info + "' | wlarm-sim connected load -").status, 0);
    EXPECT_EQ(Sh("wlarm -i eth0 connectedinfo > /etc/connected_info").status, 0);
    EXPECT_EQ(sandbox::ReadFile("/etc/connected_info"), info);
}

TEST_F(Scan, ScanStatusAnswersTheLoadedSequenceThenKeepsTheLast) {
    EXPECT_EQ(Sh("wlarm -i eth0 get_scan_status 2>&1").out, "2\n");
    ASSERT_EQ(Sh("wlarm-sim scan status 1 1 4").status, 0);
    std::string answers;
    for (int i = 0; i < 5; ++i) answers += Sh("wlarm -i eth0 get_scan_status 2>&1").out;
    EXPECT_EQ(answers, "1\n1\n4\n4\n4\n");
}

TEST_F(Scan, OnlyTheKnownInterfacesAnswer) {
    EXPECT_NE(Sh("wlarm -i eth9 get_scan_status").status, 0);
    EXPECT_NE(Sh("wlarm -i wl0.1 get_scan_status").status, 0);  // no second BSS yet
    ASSERT_EQ(Sh("wlarm mbss 1").status, 0);
    EXPECT_EQ(Sh("wlarm -i wl0.1 get_scan_status").status, 0);
}

}  // namespace
