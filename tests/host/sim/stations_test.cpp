// Stations that tests add to the simulated AP, as the library reads them back.
#include <gtest/gtest.h>

#include "tests/host/sim/sim_env.h"

using simenv::Sh;

namespace {

const std::string kSta1 = "02:11:22:33:44:01";
const std::string kSta2 = "02:11:22:33:44:02";
const std::string kSta3 = "02:11:22:33:44:03";

class Stations : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(Sh("wlarm up").status, 0);
    }
    int Add(const std::string& mac) { return Sh("wlarm-sim sta add " + mac).status; }
    int Authorize(const std::string& mac) { return Sh("wlarm-sim sta auth " + mac).status; }
    std::string Out(const std::string& command) { return Sh(command).out; }
};

TEST_F(Stations, AssoclistShowsEveryStationAndAuthoStaListOnlyAuthorisedOnes) {
    ASSERT_EQ(Add(kSta1), 0);
    ASSERT_EQ(Authorize(kSta2), 0);
    std::vector<std::string> lines = simenv::Lines(Out("wlarm assoclist"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "assoclist " + kSta1);
    EXPECT_EQ(lines[1].substr(10, 17), kSta2);  // where the library reads the MAC
    EXPECT_EQ(Out("wlarm autho_sta_list"), "autho_sta_list " + kSta2 + "\n");
    ASSERT_EQ(Authorize(kSta1), 0);  // completes its handshake later
    EXPECT_EQ(simenv::Lines(Out("wlarm autho_sta_list")).size(), 2u);
}

TEST_F(Stations, DeauthenticateRemovesOnlyThatStationWhateverTheLetterCase) {
    ASSERT_EQ(Authorize("02:aa:bb:cc:dd:01"), 0);
    ASSERT_EQ(Authorize(kSta2), 0);
    EXPECT_EQ(Sh("wlarm deauthenticate 02:AA:BB:CC:DD:01").status, 0);
    EXPECT_EQ(Out("wlarm assoclist"), "assoclist " + kSta2 + "\n");
    EXPECT_EQ(Out("wlarm autho_sta_list"), "autho_sta_list " + kSta2 + "\n");
}

// An absent station is no error, a malformed MAC is; without a MAC everyone goes.
TEST_F(Stations, DeauthenticateAnAbsentMalformedOrNoStation) {
    ASSERT_EQ(Add(kSta1), 0);
    ASSERT_EQ(Add(kSta2), 0);
    EXPECT_EQ(Sh("wlarm deauthenticate " + kSta3).status, 0);
    simenv::Result bad = Sh("wlarm deauthenticate 02:11:22:33:44");
    EXPECT_NE(bad.status, 0);
    EXPECT_FALSE(bad.err.empty());
    EXPECT_EQ(simenv::Lines(Out("wlarm assoclist")).size(), 2u);
    EXPECT_EQ(Sh("wlarm deauthenticate").status, 0);
    EXPECT_EQ(Out("wlarm assoclist"), "");
}

TEST_F(Stations, InAccessPointPlusStationModeStationsNeedTheSecondBss) {
    ASSERT_EQ(Sh("wlarm down && wlarm mbss 1 && wlarm apsta 1 && wlarm up").status, 0);
    EXPECT_NE(Add(kSta1), 0);
    ASSERT_EQ(Sh("wlarm bss -C 1 up").status, 0);
    EXPECT_EQ(Add(kSta1), 0);
    ASSERT_EQ(Sh("wlarm bss -C 1 down").status, 0);
    EXPECT_EQ(Out("wlarm assoclist"), "");
}

TEST_F(Stations, TheAssociationLimitIsKept) {
    ASSERT_EQ(Sh("wlarm maxassoc 2").status, 0);
    EXPECT_EQ(Add(kSta1), 0);
    EXPECT_EQ(Add(kSta2), 0);
    EXPECT_NE(Add(kSta3), 0);
}

TEST_F(Stations, AddingTwiceOrRemovingAnAbsentStationIsAnErrorAndClearRemovesAll) {
    ASSERT_EQ(Add(kSta1), 0);
    EXPECT_NE(Add(kSta1), 0);
    EXPECT_EQ(Authorize(kSta1), 0);
    EXPECT_NE(Authorize(kSta1), 0);
    EXPECT_EQ(Sh("wlarm-sim sta del " + kSta1).status, 0);
    EXPECT_NE(Sh("wlarm-sim sta del " + kSta1).status, 0);
    EXPECT_NE(Add("not-a-mac"), 0);
    ASSERT_EQ(Sh("wlarm-sim sta add " + kSta1 + " " + kSta2).status, 0);
    EXPECT_EQ(Sh("wlarm-sim sta clear").status, 0);
    EXPECT_EQ(Out("wlarm assoclist"), "");
}

}  // namespace
