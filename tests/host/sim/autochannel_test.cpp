// Automatic channel selection and the channel the radio reports.
#include <gtest/gtest.h>

#include "tests/host/sim/sim_env.h"

using simenv::Sh;

namespace {

class Autochannel : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(Sh("wlarm band b && wlarm up").status, 0);
    }
};

TEST_F(Autochannel, PollsFailQuietlyTheConfiguredNumberOfTimesThenNameTheChannel) {
    ASSERT_EQ(Sh("wlarm-sim autochannel failures 2 && wlarm-sim autochannel pick 11").status, 0);
    ASSERT_EQ(Sh("wlarm autochannel 1 -c 1l,6u,11u,").status, 0);
    for (int i = 0; i < 2; ++i) {
        simenv::Result poll = Sh("wlarm autochannel");
        EXPECT_EQ(poll.status, 1);
        EXPECT_EQ(poll.out + poll.err, "");
    }
    EXPECT_EQ(Sh("wlarm autochannel").out, "11u (0x1909)\n");
    EXPECT_EQ(Sh("wlarm autochannel").status, 0);  // stays chosen
    ASSERT_EQ(Sh("wlarm autochannel 2").status, 0);
    EXPECT_EQ(Sh("wlarm chanspec").out, "11u (0x1909)\n");
    EXPECT_EQ(simenv::Lines(Sh("wlarm channel").out)[0], "current mac channel\t11");
}

TEST_F(Autochannel, EveryNewSelectionFailsItsPollsAgainBeforeItSucceeds) {
    for (int failures : {0, 1}) {
        ASSERT_EQ(Sh("wlarm-sim autochannel failures " + std::to_string(failures)).status, 0);
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(Sh("wlarm autochannel 1 -c 1,6,").status, 0);
            for (int i = 0; i < failures; ++i) EXPECT_NE(Sh("wlarm autochannel").status, 0);
            EXPECT_EQ(Sh("wlarm autochannel").out, "1 (0x1001)\n") << failures;
        }
    }
}

// "autochannel 2" applies the choice without waiting for the polls: the preference if it is a
// candidate (or, with no candidates, suits the band), else the first candidate, else the default.
TEST_F(Autochannel, ApplyingTakesThePreferenceTheFirstCandidateOrTheDefault) {
    const struct {
        const char* pick;
        const char* candidates;
        const char* chanspec;
    } kCases[] = {{"11", " -c 6u,1l,", "6u (0x1904)\n"},
                  {"none", "", "6 (0x1006)\n"},
                  {"3", "", "3 (0x1003)\n"}};
    for (const auto& c : kCases) {
        ASSERT_EQ(Sh(std::string("wlarm-sim autochannel pick ") + c.pick +
                     " && wlarm autochannel 1" + c.candidates + " && wlarm autochannel 2")
                      .status,
                  0);
        EXPECT_EQ(Sh("wlarm chanspec").out, c.chanspec) << c.pick;
    }
}

TEST_F(Autochannel, SelectionNeedsTheRadioUpAndTakingItDownEndsIt) {
    ASSERT_EQ(Sh("wlarm autochannel 1").status, 0);
    ASSERT_EQ(Sh("wlarm down").status, 0);
    EXPECT_NE(Sh("wlarm autochannel").status, 0);
    EXPECT_NE(Sh("wlarm autochannel 1").status, 0);
    EXPECT_NE(Sh("wlarm autochannel 2").status, 0);
    ASSERT_EQ(Sh("wlarm up").status, 0);
    simenv::Result poll = Sh("wlarm autochannel");
    EXPECT_NE(poll.status, 0);
    EXPECT_NE(poll.err.find("no channel selection"), std::string::npos);
}

TEST_F(Autochannel, CandidateListsOutsideTheBandOrMalformedAreRefused) {
    for (const char* list : {"36,", "1,,6", "1u,", "15,", ",", "6x", "0x6", "1;6"})
        EXPECT_NE(Sh(std::string("wlarm autochannel 1 -c '") + list + "'").status, 0) << list;
    EXPECT_NE(Sh("wlarm autochannel 1 -c").status, 0);
    EXPECT_NE(Sh("wlarm autochannel 3").status, 0);
    ASSERT_EQ(Sh("wlarm down && wlarm band a && wlarm up").status, 0);
    EXPECT_EQ(Sh("wlarm autochannel 1 -c 36l,149,161u,").status, 0);
    EXPECT_NE(Sh("wlarm autochannel 1 -c 165u,").status, 0);  // no 40 MHz partner
}

TEST_F(Autochannel, ChanspecBeginsWithTheChannelInDecimal) {
    ASSERT_EQ(Sh("wlarm down && wlarm band auto").status, 0);
    EXPECT_EQ(Sh("wlarm chanspec 36l && wlarm chanspec").out, "36l (0xd826)\n");
    EXPECT_EQ(Sh("wlarm chanspec 161u && wlarm chanspec").out, "161u (0xd99f)\n");
    EXPECT_EQ(Sh("wlarm channel 149 && wlarm chanspec").out, "149 (0xd095)\n");
    EXPECT_NE(Sh("wlarm channel 36l").status, 0);
    ASSERT_EQ(Sh("wlarm band b").status, 0);
    EXPECT_NE(Sh("wlarm channel 36").status, 0);
}

}  // namespace
