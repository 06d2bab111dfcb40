// Faults that tests inject into wlarm subcommands, and the state staying whole.
#include <gtest/gtest.h>

#include "tests/host/sim/sim_env.h"

using simenv::Sh;

namespace {

using Faults = SandboxTest;

// Other subcommands are unaffected.
TEST_F(Faults, AFailureLastsForItsCountOrUntilCleared) {
    ASSERT_EQ(Sh("wlarm-sim fault fail chanspec 2 && wlarm-sim fault fail assoclist").status, 0);
    for (int i = 0; i < 2; ++i) {
        simenv::Result r = Sh("wlarm chanspec");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("chanspec"), std::string::npos);
    }
    EXPECT_EQ(Sh("wlarm chanspec").status, 0);
    for (int i = 0; i < 3; ++i) EXPECT_NE(Sh("wlarm assoclist").status, 0);
    EXPECT_EQ(Sh("wlarm autho_sta_list").status, 0);
    ASSERT_EQ(Sh("wlarm-sim fault clear assoclist").status, 0);
    EXPECT_EQ(Sh("wlarm assoclist").status, 0);
}

// Also a command refused halfway keeps the earlier values.
TEST_F(Faults, AFailedCommandChangesNothing) {
    ASSERT_EQ(Sh("wlarm up && wlarm-sim sta add 02:00:00:00:00:01").status, 0);
    ASSERT_EQ(Sh("wlarm-sim fault fail deauthenticate 1").status, 0);
    EXPECT_NE(Sh("wlarm deauthenticate 02:00:00:00:00:01").status, 0);
    EXPECT_EQ(Sh("wlarm assoclist").out, "assoclist 02:00:00:00:00:01\n");
    ASSERT_EQ(Sh("wlarm mac 02:00:00:00:00:01").status, 0);
    EXPECT_NE(Sh("wlarm mac 02:00:00:00:00:02 bogus").status, 0);
    EXPECT_EQ(Sh("wlarm mac").out, "mac 02:00:00:00:00:01\n");
    ASSERT_EQ(Sh("wlarm wme_ac ap be aifsn 2").status, 0);
    EXPECT_NE(Sh("wlarm wme_ac ap be aifsn 3 ecwmin 99").status, 0);
    EXPECT_EQ(Sh("wlarm wme_ac ap").out, "be.aifsn 2\n");
}

TEST_F(Faults, SilentCommandsPrintNothingButStillAct) {
    ASSERT_EQ(Sh("wlarm up && wlarm-sim sta auth 02:00:00:00:00:01").status, 0);
    ASSERT_EQ(Sh("wlarm-sim fault silent autho_sta_list 1").status, 0);
    simenv::Result quiet = Sh("wlarm autho_sta_list");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(Sh("wlarm autho_sta_list").out, "autho_sta_list 02:00:00:00:00:01\n");

    ASSERT_EQ(Sh("wlarm-sim fault silent autochannel").status, 0);
    ASSERT_EQ(Sh("wlarm-sim autochannel failures 0 && wlarm autochannel 1").status, 0);
    simenv::Result poll = Sh("wlarm autochannel");
    EXPECT_EQ(poll.status, 0);
    EXPECT_EQ(poll.out, "");
}

TEST_F(Faults, OnlyKnownSubcommandsCanBeFaultedAndUnknownOnesFailLoudly) {
    EXPECT_NE(Sh("wlarm-sim fault fail frobnicate").status, 0);
    EXPECT_NE(Sh("wlarm-sim fault fail chanspec 0").status, 0);
    EXPECT_NE(Sh("wlarm-sim fault fail chanspec many").status, 0);
    EXPECT_EQ(Sh("wlarm-sim fault fail maxassoc").status, 0);  // settings too
    simenv::Result r = Sh("wlarm frobnicate");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("frobnicate"), std::string::npos);
    EXPECT_NE(Sh("wlarm-sim frobnicate").status, 0);
}

TEST_F(Faults, ConcurrentInvocationsLoseNoUpdate) {
    ASSERT_EQ(Sh("wlarm up").status, 0);
    std::string command;
    for (int i = 0; i < 16; ++i) {
        char mac[32];
        snprintf(mac, sizeof(mac), "02:00:00:00:01:%02x", i);
        command += std::string("wlarm-sim sta add ") + mac + " & wlarm mac " + mac + " & ";
    }
    ASSERT_EQ(Sh(command + "wait").status, 0);
    EXPECT_EQ(simenv::Lines(Sh("wlarm assoclist").out).size(), 16u);
    EXPECT_EQ(simenv::Lines(Sh("wlarm mac").out).size(), 16u);
}

}  // namespace
