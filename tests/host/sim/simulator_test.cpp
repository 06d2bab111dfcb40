// What the library's tests rely on from the device simulator without seeing it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/sandbox.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

// Standard output and error of a shell command line, then "=" and its exit status.
std::string Sh(const std::string& command_line) {
    return sandbox::Output("(" + command_line + ") 2>&1 </dev/null; echo =$?");
}

constexpr const char* kApScript = "/usr/bin/bcmApSet.sh";
constexpr const char* kStart = "/usr/bin/bcmwlan_ap1.sh start";
constexpr const char* kStation = "02:00:00:00:00:01";

// An access-point script with `extra` before the final "up".
void WriteApScript(const std::string& extra = "") {
    WriteShellScript(kApScript,
                     "WL=\"$1\"\n${WL} down\n${WL} ssid \"Sim AP\"\n" + extra + "${WL} up\n");
}

using Simulator = SandboxTest;

TEST_F(Simulator, AScriptThatMisusesTheRadioOrCannotRunFailsTheStart) {
    const struct {
        const char* extra;
        const char* setup;
        const char* error;
    } kScripts[] = {
        {"${WL} frobnicate 1\n", "true", "frobnicate"},
        {"${WL} ssid Sim AP\n", "true", "too many arguments"},
        {"${WL} down\nexit 0\n", "true", "not up"},
        {"", "chmod 644 /usr/bin/bcmApSet.sh", "not executable"},
        {"if then\n", "true", "does not parse"},
    };
    EXPECT_THAT(Sh(kStart), Not(EndsWith("=0\n")));  // no script at all
    for (const auto& script : kScripts) {
        SCOPED_TRACE(std::string(script.extra) + script.setup);
        WriteApScript(script.extra);
        ASSERT_EQ(Sh(std::string("wlarm-sim reset; ") + script.setup), "=0\n");
        EXPECT_THAT(Sh(kStart), AllOf(HasSubstr(script.error), Not(EndsWith("=0\n"))));
    }
    WriteApScript();
    EXPECT_THAT(Sh(kStart), EndsWith("=0\n"));  // the script itself is sound
    EXPECT_EQ(Sh("wlarm ssid"), "Current SSID: \"Sim AP\"\n=0\n");
}

// Every selection fails its first three polls quietly, so the generated script's poll loop runs.
TEST_F(Simulator, ChannelPollsFailForAWhileAfterEverySelection) {
    ASSERT_EQ(Sh("wlarm band b && wlarm up && wlarm-sim autochannel pick 11"), "=0\n");
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Sh("wlarm autochannel 1 -c 1l,6u,11u,"), "=0\n");
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Sh("wlarm autochannel"), "=1\n");
        EXPECT_EQ(Sh("wlarm autochannel"), "11u (0x1909)\n=0\n") << "round " << round;
    }
}

// A fault lasts for its count, touches no other subcommand, and the failed call changes nothing.
TEST_F(Simulator, InjectedFaultsHitTheCallsTheyWereSetFor) {
    ASSERT_EQ(Sh(std::string("wlarm up && wlarm-sim sta auth ") + kStation +
                 " && wlarm-sim fault fail deauthenticate 2"),
              "=0\n");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Sh("wlarm autho_sta_list"), std::string("autho_sta_list ") + kStation + "\n=0\n");
        const std::string deauth = Sh(std::string("wlarm deauthenticate ") + kStation);
        EXPECT_EQ(deauth.find("deauthenticate") != deauth.npos, i < 2) << deauth;
        EXPECT_THAT(deauth, EndsWith(i < 2 ? "=1\n" : "=0\n"));
    }
    EXPECT_EQ(Sh("wlarm autho_sta_list"), "=0\n");
}

// The library polls the radio while tests add stations.
TEST_F(Simulator, ConcurrentCallsLoseNoUpdate) {
    ASSERT_EQ(Sh("wlarm up && for i in $(seq 10 25); do wlarm-sim sta add 02:00:00:00:01:$i & "
                 "wlarm mac 02:00:00:00:01:$i & done; wait"),
              "=0\n");
    EXPECT_EQ(Sh("wlarm assoclist | wc -l; wlarm mac | wc -l"), "16\n16\n=0\n");
}

}  // namespace
