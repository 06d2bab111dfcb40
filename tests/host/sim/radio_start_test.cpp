// The platform start script runs the radio script against the simulated radio.
#include <gtest/gtest.h>

#include "tests/host/sim/sim_env.h"

using simenv::Sh;

namespace {

constexpr const char* kStart = "/usr/bin/bcmwlan_ap1.sh start";

class RadioStart : public SandboxTest {
protected:
    void WriteApScript(const simenv::ApScriptOptions& options = {}) {
        simenv::WriteScript(simenv::kApScript, simenv::ApScript(options));
    }
    std::string Query(const std::string& command) { return Sh(command).out; }
};

TEST_F(RadioStart, ApScriptBringsTheRadioUpOnThePickedCandidateWithTheApMac) {
    WriteApScript();
    ASSERT_EQ(Sh("wlarm-sim autochannel pick 6").status, 0);
    simenv::Result start = Sh(kStart);
    ASSERT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(Query("wlarm chanspec"), "6u (0x1904)\n");
    EXPECT_EQ(Query("wlarm isup"), "1\n");
    EXPECT_EQ(Query("wlarm ssid"), "Current SSID: \"Sim AP\"\n");
    EXPECT_EQ(Query("wlarm wsec"), "4\n");
    EXPECT_EQ(Query("wlarm wpa_auth"), "0x84\n");
    EXPECT_EQ(Query("wlarm country"), "DE\n");
    std::string perm = Query("wlarm perm_etheraddr");
    EXPECT_EQ(perm.size(), 18u);
    EXPECT_EQ(Query("wlarm cur_etheraddr"), perm);
}

// Without a preference: the first candidate, or the band's default for the plain selection.
TEST_F(RadioStart, WithoutAPreferenceTheFirstCandidateOrTheBandsDefaultIsChosen) {
    const struct {
        const char* channels;
        const char* band;
        const char* chanspec;
    } kCases[] = {{"1l,6u,11u,", "b", "1l (0x1803)\n"},
                  {"", "b", "6 (0x1006)\n"},
                  {"", "a", "36 (0xd024)\n"}};
    for (const auto& c : kCases) {
        simenv::ApScriptOptions options;
        options.channels = c.channels;
        options.band = c.band;
        WriteApScript(options);
        ASSERT_EQ(Sh(kStart).status, 0) << c.channels << c.band;
        EXPECT_EQ(Query("wlarm chanspec"), c.chanspec) << c.channels << c.band;
    }
}

TEST_F(RadioStart, TheScriptPollsUntilTheChannelIsChosen) {
    WriteApScript();
    ASSERT_EQ(Sh("wlarm-sim autochannel failures 4").status, 0);
    ASSERT_EQ(Sh(kStart).status, 0);
    EXPECT_EQ(simenv::Lines(sandbox::ReadFile("/var/run/usleep.log")),
              std::vector<std::string>(4, "100000"));
}

TEST_F(RadioStart, StationModeRunsTheApStaScriptWithBothMacs) {
    simenv::SetStationMode(true);
    simenv::WriteScript(simenv::kApScript, "#!/bin/sh\nexit 1\n");
    simenv::WriteScript(simenv::kApStaScript, simenv::ApStaScript());
    simenv::Result start = Sh(kStart);
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

// Station mode off, or its option missing, means the AP script.
TEST_F(RadioStart, WithoutStationModeTheApScriptRuns) {
    simenv::WriteScript(simenv::kApStaScript, "#!/bin/sh\nexit 1\n");
    WriteApScript();
    simenv::SetStationMode(false);
    EXPECT_EQ(Sh(kStart).status, 0);
    simenv::SetStationMode(true);
    ASSERT_EQ(Sh("rm /etc/config/wlan").status, 0);
    EXPECT_EQ(Sh(kStart).status, 0);
}

// A wrong subcommand, a wrong quoting, a radio left down, a failing radio command or a script
// that cannot run fails the start.
TEST_F(RadioStart, AScriptThatMisusesTheRadioOrCannotRunFailsTheStart) {
    const struct {
        const char* ssid_line;
        const char* extra;
        const char* setup;
        const char* error;
    } kScripts[] = {
        {"${WL} ssid \"Sim AP\"", "${WL} frobnicate 1\n", "", "frobnicate"},
        {"${WL} ssid Sim AP", "", "", "too many arguments"},
        {"${WL} ssid \"Sim AP\"", "${WL} down\nexit 0\n", "", ""},
        {"${WL} ssid \"Sim AP\"", "", "wlarm-sim fault fail dtim 1", ""},
        {"${WL} ssid \"Sim AP\"", "", "chmod 644 /usr/bin/bcmApSet.sh", "not executable"}};
    EXPECT_NE(Sh(kStart).status, 0);  // no script at all
    for (const auto& script : kScripts) {
        SCOPED_TRACE(std::string(script.extra) + script.setup);
        simenv::ApScriptOptions options;
        options.ssid_line = script.ssid_line;
        options.extra = script.extra;
        WriteApScript(options);
        if (*script.setup != '\0') {
            ASSERT_EQ(Sh(script.setup).status, 0);
        }
        simenv::Result start = Sh(kStart);
        EXPECT_NE(start.status, 0);
        EXPECT_NE(start.err.find(script.error), std::string::npos) << start.err;
    }
    WriteApScript();
    EXPECT_EQ(Sh(kStart).status, 0);  // the injected fault was for one call
}

TEST_F(RadioStart, ASsidWithShellCharactersArrivesLiterally) {
    simenv::ApScriptOptions options;
    options.ssid_line = R"(${WL} ssid "a\"b\`c\\d $ e")";
    WriteApScript(options);
    ASSERT_EQ(Sh(kStart).status, 0);
    EXPECT_EQ(Query("wlarm ssid"), "Current SSID: \"a\"b`c\\d $ e\"\n");
}

TEST_F(RadioStart, AScriptThatDoesNotParseRunsNoRadioCommand) {
    simenv::ApScriptOptions options;
    options.extra = "if then\n";
    WriteApScript(options);
    EXPECT_NE(Sh(kStart).status, 0);
    EXPECT_EQ(sandbox::ReadFile("/var/run/wlarm/calls.log").find("mbss"), std::string::npos);
}

TEST_F(RadioStart, StopTakesTheRadioDownAndEndsEveryAssociationAndOtherActionsFail) {
    WriteApScript();
    ASSERT_EQ(Sh(kStart).status, 0);
    ASSERT_EQ(Sh("wlarm-sim sta auth 02:00:00:00:00:01").status, 0);
    EXPECT_EQ(Sh("/usr/bin/bcmwlan_ap1.sh stop").status, 0);
    EXPECT_EQ(Query("wlarm isup"), "0\n");
    EXPECT_EQ(Query("wlarm assoclist"), "");
    simenv::Result add = Sh("wlarm-sim sta add 02:00:00:00:00:02");  // no station joins
    EXPECT_NE(add.status, 0);
    EXPECT_NE(add.err.find("down"), std::string::npos);
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh restart").status, 0);
    EXPECT_NE(Sh("/usr/bin/bcmwlan_ap1.sh").status, 0);
}

}  // namespace
