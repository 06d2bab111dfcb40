// What the library's tests rely on from the device simulator without seeing it: a radio script
// that misuses the radio fails the start, the channel poll fails for a while as the radio's
// does, injected faults hit exactly the calls they were set for, and concurrent calls keep the
// radio's state whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/sandbox.h"

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Sh(const std::string& command_line) {
    Result r;
    r.status = sandbox::Run("(" + command_line + ") >/tmp/sim.out 2>/tmp/sim.err </dev/null");
    r.out = sandbox::ReadFile("/tmp/sim.out");
    r.err = sandbox::ReadFile("/tmp/sim.err");
    return r;
}

size_t LineCount(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    size_t count = 0;
    while (std::getline(in, line)) ++count;
    return count;
}

constexpr const char* kApScript = "/usr/bin/bcmApSet.sh";
constexpr const char* kStart = "/usr/bin/bcmwlan_ap1.sh start";

// An access-point script laid out like the generated one, with `ssid_line` and `extra` (placed
// before the final "up") as given.
void WriteApScript(const std::string& ssid_line = "${WL} ssid \"Sim AP\"",
                   const std::string& extra = "") {
    sandbox::WriteFile(kApScript,
                       "#!/bin/sh\nWL=\"$1\"\nBSSID=\"$2\"\n"
                       "${WL} down\n${WL} mbss 0\n${WL} ap 1\n${WL} band b\n${WL} up\n"
                       "${WL} autochannel 1 -c 1l,6u,11u,\n"
                       "${WL} autochannel\nrc=$?\n"
                       "while [ $rc -ne 0 ]; do\n\tusleep 100000\n\t${WL} autochannel\n\trc=$?\n"
                       "done\n${WL} autochannel 2\n${WL} down\n" +
                           ssid_line + "\n${WL} cur_etheraddr ${BSSID}\n${WL} dtim 1\n" + extra +
                           "${WL} up\n");
    chmod(kApScript, 0755);
}

using Simulator = SandboxTest;

// A wrong subcommand, a wrong quoting, a radio left down, a failing radio command, a script that
// is not executable or does not parse: each fails the start.
TEST_F(Simulator, AScriptThatMisusesTheRadioOrCannotRunFailsTheStart) {
    const struct {
        const char* ssid_line;
        const char* extra;
        const char* setup;
        const char* error;
    } kScripts[] = {
        {"${WL} ssid \"Sim AP\"", "${WL} frobnicate 1\n", "true", "frobnicate"},
        {"${WL} ssid Sim AP", "", "true", "too many arguments"},
        {"${WL} ssid \"Sim AP\"", "${WL} down\nexit 0\n", "true", "not up"},
        {"${WL} ssid \"Sim AP\"", "", "wlarm-sim fault fail dtim 1", "dtim"},
        {"${WL} ssid \"Sim AP\"", "", "chmod 644 /usr/bin/bcmApSet.sh", "not executable"},
        {"${WL} ssid \"Sim AP\"", "if then\n", "true", "does not parse"},
    };
    EXPECT_NE(Sh(kStart).status, 0);  // no script at all
    for (const auto& script : kScripts) {
        SCOPED_TRACE(std::string(script.extra) + script.setup);
        WriteApScript(script.ssid_line, script.extra);
        ASSERT_EQ(Sh(std::string("wlarm-sim reset; ") + script.setup).status, 0);
        Result start = Sh(kStart);
        EXPECT_NE(start.status, 0);
        EXPECT_NE(start.err.find(script.error), std::string::npos) << start.err;
    }
    // A script that does not parse runs no radio command at all.
    EXPECT_EQ(sandbox::ReadFile("/var/run/wlarm/calls.log").find("mbss"), std::string::npos);
    WriteApScript();
    Result start = Sh(kStart);
    EXPECT_EQ(start.status, 0) << start.err;  // the script itself is sound
    EXPECT_EQ(Sh("wlarm ssid").out, "Current SSID: \"Sim AP\"\n");
}

// Every selection fails its first polls quietly (three unless set otherwise), so the generated
// script's poll loop runs.
TEST_F(Simulator, ChannelPollsFailForAWhileAfterEverySelection) {
    ASSERT_EQ(Sh("wlarm band b && wlarm up && wlarm-sim autochannel pick 11").status, 0);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Sh("wlarm autochannel 1 -c 1l,6u,11u,").status, 0);
        for (int i = 0; i < 3; ++i) {
            Result poll = Sh("wlarm autochannel");
            EXPECT_EQ(poll.status, 1);
            EXPECT_EQ(poll.out + poll.err, "");
        }
        EXPECT_EQ(Sh("wlarm autochannel").out, "11u (0x1909)\n") << "round " << round;
    }
    WriteApScript();
    ASSERT_EQ(Sh("wlarm-sim autochannel failures 4").status, 0);
    ASSERT_EQ(Sh(kStart).status, 0);
    EXPECT_EQ(sandbox::ReadFile("/var/run/usleep.log"), "100000\n100000\n100000\n100000\n");
}

// A fault lasts for its count or until cleared, touches no other subcommand, and the failed
// call changes nothing; a silent one answers without printing.
TEST_F(Simulator, InjectedFaultsHitTheCallsTheyWereSetFor) {
    ASSERT_EQ(Sh("wlarm up && wlarm-sim sta auth 02:00:00:00:00:01").status, 0);
    ASSERT_EQ(Sh("wlarm-sim fault fail deauthenticate 2 && wlarm-sim fault fail assoclist").status,
              0);
    for (int i = 0; i < 2; ++i) {
        Result r = Sh("wlarm deauthenticate 02:00:00:00:00:01");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("deauthenticate"), std::string::npos);
    }
    EXPECT_EQ(Sh("wlarm autho_sta_list").out, "autho_sta_list 02:00:00:00:00:01\n");
    for (int i = 0; i < 3; ++i) EXPECT_NE(Sh("wlarm assoclist").status, 0);
    ASSERT_EQ(Sh("wlarm-sim fault clear assoclist").status, 0);
    EXPECT_EQ(Sh("wlarm assoclist").out, "assoclist 02:00:00:00:00:01\n");

    ASSERT_EQ(Sh("wlarm-sim fault silent autho_sta_list 1").status, 0);
    Result quiet = Sh("wlarm autho_sta_list");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
    EXPECT_EQ(Sh("wlarm autho_sta_list").out, "autho_sta_list 02:00:00:00:00:01\n");

    for (const char* bad : {"fail frobnicate", "fail chanspec 0", "fail chanspec many"})
        EXPECT_NE(Sh(std::string("wlarm-sim fault ") + bad).status, 0) << bad;
}

// The library polls the radio while tests add stations.
TEST_F(Simulator, ConcurrentCallsLoseNoUpdate) {
    ASSERT_EQ(Sh("wlarm up").status, 0);
    std::string command;
    for (int i = 0; i < 16; ++i) {
        char mac[32];
        snprintf(mac, sizeof(mac), "02:00:00:00:01:%02x", i);
        command += std::string("wlarm-sim sta add ") + mac + " & wlarm mac " + mac + " & ";
    }
    ASSERT_EQ(Sh(command + "wait").status, 0);
    EXPECT_EQ(LineCount(Sh("wlarm assoclist").out), 16u);
    EXPECT_EQ(LineCount(Sh("wlarm mac").out), 16u);
}

}  // namespace
