// The MAC filter as the generated filter script sets it.
#include <gtest/gtest.h>

#include "tests/host/sim/sim_env.h"

using simenv::Sh;

namespace {

constexpr const char* kFilterScript = "/usr/bin/bcm_mac_filter.sh";

class MacFilter : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(Sh("wlarm up").status, 0);
    }
    void WriteFilter(int mode, const std::vector<std::string>& macs, bool deauthenticate) {
        std::string text = "#!/bin/sh\n\n#mac filter\n\nWL=\"$1\"\n${WL} macmode " +
                           std::to_string(mode) + "\n${WL} mac none\n";
        for (const std::string& mac : macs) {
            text += "${WL} mac " + mac + "\n";
            if (deauthenticate) text += "${WL} deauthenticate " + mac + "\n";
        }
        simenv::WriteScript(kFilterScript, text);
    }
    int Run() { return Sh(std::string(kFilterScript) + " wlarm").status; }
};

TEST_F(MacFilter, ADenyListSendsListedStationsAwayAndKeepsThemOut) {
    ASSERT_EQ(Sh("wlarm-sim sta auth 02:00:00:00:00:01 02:00:00:00:00:03").status, 0);
    WriteFilter(1, {"02:00:00:00:00:01", "02:00:00:00:00:02"}, true);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(Sh("wlarm macmode").out, "1\n");
    EXPECT_EQ(Sh("wlarm mac").out, "mac 02:00:00:00:00:01\nmac 02:00:00:00:00:02\n");
    EXPECT_EQ(Sh("wlarm assoclist").out, "assoclist 02:00:00:00:00:03\n");
    EXPECT_NE(Sh("wlarm-sim sta add 02:00:00:00:00:01").status, 0);
    EXPECT_EQ(Sh("wlarm-sim sta add 02:00:00:00:00:04").status, 0);
}

TEST_F(MacFilter, AnAllowListAdmitsOnlyListedStationsAndRunningAgainReplacesIt) {
    WriteFilter(2, {"02:00:00:00:00:01", "02:00:00:00:00:02"}, false);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(Sh("wlarm-sim sta add 02:00:00:00:00:01").status, 0);
    EXPECT_NE(Sh("wlarm-sim sta add 02:00:00:00:00:03").status, 0);
    WriteFilter(0, {}, false);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(Sh("wlarm macmode").out, "0\n");
    EXPECT_EQ(Sh("wlarm mac").out, "");
    EXPECT_EQ(Sh("wlarm-sim sta add 02:00:00:00:00:09").status, 0);
}

TEST_F(MacFilter, InvalidModesAndAddressesAreRefused) {
    EXPECT_NE(Sh("wlarm macmode 3").status, 0);
    EXPECT_NE(Sh("wlarm mac 02:00:00:00:00:0g").status, 0);
    EXPECT_NE(Sh("wlarm mac '02:00:00:00:00:01;reboot'").status, 0);
    EXPECT_EQ(Sh("wlarm mac").out, "");
}

}  // namespace
