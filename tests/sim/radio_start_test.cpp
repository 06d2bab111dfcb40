// The platform start script runs the radio script against the simulated radio.
#include <gtest/gtest.h>

#include "tests/sim/sim_env.h"

using simenv::Sh;

namespace {

class RadioStart : public SandboxTest {
protected:
    void WriteApScript(const simenv::ApScriptOptions& options = {}) {
        simenv::WriteScript(simenv::kApScript, simenv::ApScript(options));
    }
    std::string Query(const std::string& command) { return Sh(command).out; }
};

TEST_F(RadioStart, ApScriptBringsTheRadioUpOnThePickedCandidate) {
    WriteApScript();
    ASSERT_EQ(Sh("wlarm-sim autochannel pick 6").status, 0);
    simenv::Result start = Sh("/usr/bin/bcmwlan_ap1.sh start");
    ASSERT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(Query("wlarm chanspec"), "6u (0x1904)\n");
    EXPECT_EQ(Query("wlarm isup"), "1\n");
    EXPECT_EQ(Query("wlarm ssid"), "Current SSID: \"Sim AP\"\n");
    EXPECT_EQ(Query("wlarm wsec"), "4\n");
    EXPECT_EQ(Query("wlarm wpa_auth"), "0x84\n");
    EXPECT_EQ(Query("wlarm country"), "DE\n");
}

TEST_F(RadioStart, WithoutAPreferenceTheFirstCandidateIsChosen) {
    WriteApScript();
    ASSERT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    EXPECT_EQ(Query("wlarm chanspec"), "1l (0x1803)\n");
}

TEST_F(RadioStart, PlainSelectionTakesTheBandsDefaultChannel) {
    simenv::ApScriptOptions options;
    options.channels = "";
    WriteApScript(options);
    ASSERT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    EXPECT_EQ(Query("wlarm chanspec"), "6 (0x1006)\n");

    options.band = "a";
    WriteApScript(options);
    ASSERT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    EXPECT_EQ(Query("wlarm chanspec"), "36 (0xd024)\n");
}

TEST_F(RadioStart, TheScriptPollsUntilTheChannelIsChosen) {
    WriteApScript();
    ASSERT_EQ(Sh("wlarm-sim autochannel failures 4").status, 0);
    ASSERT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    EXPECT_EQ(simenv::Lines(sandbox::ReadFile("/var/run/usleep.log")),
              std::vector<std::string>(4, "100000"));
}

TEST_F(RadioStart, TheApScriptReceivesTheApMac) {
    WriteApScript();
    ASSERT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    std::string perm = Query("wlarm perm_etheraddr");
    EXPECT_EQ(perm.size(), 18u);
    EXPECT_EQ(Query("wlarm cur_etheraddr"), perm);
}

TEST_F(RadioStart, StationModeRunsTheApStaScriptWithBothMacs) {
    simenv::SetStationMode(true);
    simenv::WriteScript(simenv::kApScript, "#!/bin/sh\nexit 1\n");
    simenv::WriteScript(simenv::kApStaScript, simenv::ApStaScript());
    simenv::Result start = Sh("/usr/bin/bcmwlan_ap1.sh start");
    ASSERT_EQ(start.status, 0) << start.err;
    std::string ap_mac = Query("wlarm perm_etheraddr");
    std::string sta_mac = Query("wlarm -i eth0 cur_etheraddr");
    EXPECT_EQ(Query("wlarm -i wl0.1 cur_etheraddr"), ap_mac);
    EXPECT_EQ(sta_mac.size(), 18u);
    EXPECT_NE(sta_mac, ap_mac);
    EXPECT_EQ(Query("wlarm bss -C 1"), "up\n");
    EXPECT_EQ(Query("wlarm ssid -C 1"), "Current SSID: \"Sim AP\"\n");
    EXPECT_EQ(Query("wlarm -i wl0.1 bss_maxassoc"), "9\n");
    EXPECT_EQ(Query("wlarm bss_maxassoc"), "128\n");  // the primary BSS keeps its own
}

TEST_F(RadioStart, StationModeOffRunsTheApScript) {
    simenv::SetStationMode(false);
    simenv::WriteScript(simenv::kApStaScript, "#!/bin/sh\nexit 1\n");
    WriteApScript();
    EXPECT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
}

TEST_F(RadioStart, MissingStationModeOptionMeansApOnly) {
    simenv::SetStationMode(true);
    ASSERT_EQ(Sh("rm /etc/config/wlan").status, 0);
    simenv::WriteScript(simenv::kApStaScript, "#!/bin/sh\nexit 1\n");
    WriteApScript();
    EXPECT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
}

TEST_F(RadioStart, AnUnknownSubcommandFailsTheStart) {
    simenv::ApScriptOptions options;
    options.extra = "${WL} frobnicate 1\n";
    WriteApScript(options);
    simenv::Result start = Sh("/usr/bin/bcmwlan_ap1.sh start");
    EXPECT_NE(start.status, 0);
    EXPECT_NE(start.err.find("frobnicate"), std::string::npos) << start.err;
}

TEST_F(RadioStart, AnUnquotedSsidWithABlankFailsTheStart) {
    simenv::ApScriptOptions options;
    options.ssid_line = "${WL} ssid Sim AP";
    WriteApScript(options);
    simenv::Result start = Sh("/usr/bin/bcmwlan_ap1.sh start");
    EXPECT_NE(start.status, 0);
    EXPECT_NE(start.err.find("too many arguments"), std::string::npos) << start.err;
}

TEST_F(RadioStart, ASsidWithShellCharactersArrivesLiterally) {
    simenv::ApScriptOptions options;
    options.ssid_line = R"(${WL} ssid "a\"b\`c\\d $ e")";
    WriteApScript(options);
    ASSERT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    EXPECT_EQ(Query("wlarm ssid"), "Current SSID: \"a\"b`c\\d $ e\"\n");
}

TEST_F(RadioStart, AScriptThatDoesNotParseRunsNoRadioCommand) {
    simenv::ApScriptOptions options;
    options.extra = "if then\n";
    WriteApScript(options);
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    EXPECT_EQ(sandbox::ReadFile("/var/run/wlarm/calls.log").find("mbss"), std::string::npos);
}

TEST_F(RadioStart, AMissingOrNonExecutableScriptFailsTheStart) {
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    WriteApScript();
    ASSERT_EQ(Sh(std::string("chmod 644 ") + simenv::kApScript).status, 0);
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
}

TEST_F(RadioStart, ARadioCommandThatFailsFailsTheStart) {
    WriteApScript();
    ASSERT_EQ(Sh("wlarm-sim fault fail dtim 1").status, 0);
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    EXPECT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);  // the fault was for one call
}

TEST_F(RadioStart, AScriptThatLeavesTheRadioDownFailsTheStart) {
    simenv::ApScriptOptions options;
    options.extra = "${WL} down\nexit 0\n";
    WriteApScript(options);
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
}

TEST_F(RadioStart, StopTakesTheRadioDownAndEndsEveryAssociation) {
    WriteApScript();
    ASSERT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh start").status, 0);
    ASSERT_EQ(Sh("wlarm-sim sta auth 02:00:00:00:00:01").status, 0);
    EXPECT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh stop").status, 0);
    EXPECT_EQ(Query("wlarm isup"), "0\n");
    EXPECT_EQ(Query("wlarm assoclist"), "");
    EXPECT_NE(Sh("wlarm-sim sta add 02:00:00:00:00:02").status, 0);
}

TEST_F(RadioStart, AnUnknownActionIsRefused) {
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh restart").status, 0);
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh").status, 0);
}

}  // namespace
