#include "tests/coex/coex_test_support.h"

// Narrowing of the auto-channel candidates to the channels the LTE frequency allows.
int CoexTest::restarts = 0;

using AcsChanlist = CoexTest;

namespace {

using V = std::vector<int>;

// Runs the filter with an output buffer of exactly max(count, 1) entries followed by guards,
// so that writing past the room the caller promised shows.
V Filter(const V& candidates, bool is_5g) {
    const int kGuard = -12345;
    size_t room = std::max<size_t>(candidates.size(), 1);
    std::vector<int> out(room + 4, kGuard);
    int count = -1;
    bcm_lte_coex_get_acs_chanlist(candidates.data(), static_cast<int>(candidates.size()),
                                  out.data(), &count, is_5g ? 1 : 0);
    for (size_t i = room; i < out.size(); ++i) EXPECT_EQ(out[i], kGuard) << "wrote past room";
    EXPECT_GE(count, 0);
    EXPECT_LE(static_cast<size_t>(count), room);
    return V(out.begin(), out.begin() + std::max(count, 0));
}

}  // namespace

TEST_F(AcsChanlist, WithoutAnAgentOneFallbackChannel) {
    bcm_lte_coex_set_shadow_agent(nullptr);
    EXPECT_EQ(Filter({1, 6, 11}, false), V{6});
    EXPECT_EQ(Filter({149, 153}, true), V{149});
    EXPECT_EQ(Filter({}, true), V{6});
    EXPECT_TRUE(HasLevel5("LTE_COEX: shadow agent is NULL\n"));
}

TEST_F(AcsChanlist, NoMaskKeepsEveryCandidate) {
    EXPECT_EQ(Filter({1, 3, 6, 11}, false), (V{1, 3, 6, 11}));
    EXPECT_TRUE(HasLevel5("LTE_COEX: lte_coex.acs_chan_mask is 0! ACS in valid channels!"));
    EXPECT_EQ(Filter({}, false), V{});
}

TEST_F(AcsChanlist, NoMaskButAKnownChannelKeepsThatChannel) {
    bcm_lte_coex_set_selected_channel(11);
    EXPECT_EQ(Filter({1, 6}, false), V{11});
    EXPECT_TRUE(HasLevel5("LTE_COEX: lte_coex.acs_chan_mask is 0! no need to change channel!"));
    // With no candidates at all the one channel still fits the promised room of one.
    EXPECT_EQ(Filter({}, false), V{11});
}

TEST_F(AcsChanlist, AllowedOperatingChannelStays) {
    coex().acs_chan_mask = 0x7FDFC0;  // channels 7..13 and 5 GHz
    bcm_lte_coex_set_selected_channel(11);
    EXPECT_EQ(Filter({1, 6, 11}, false), V{11});
    EXPECT_TRUE(
        HasLevel5("LTE_COEX: channel 11 is in lte_coex.acs_chan_mask 8380352! no need to "
                  "change channel!"));
}

TEST_F(AcsChanlist, On24GhzOnlyAllowedNonOverlappingChannelsRemain) {
    coex().acs_chan_mask = 0x7FDF00;  // channels 9..13 and 5 GHz
    EXPECT_EQ(Filter({1, 6, 11}, false), V{11});
    coex().acs_chan_mask = 0x7FDFFF;
    EXPECT_EQ(Filter({11, 6, 3, 1, 13}, false), (V{1, 6, 11}));
}

TEST_F(AcsChanlist, On24GhzNothingAllowedFallsBack) {
    coex().acs_chan_mask = 0x7FDF00;
    EXPECT_EQ(Filter({1, 6}, false), (V{1, 6}));
    bcm_lte_coex_set_selected_channel(1);
    EXPECT_EQ(Filter({1, 6}, false), V{1});
}

TEST_F(AcsChanlist, On5GhzAllowedCandidatesRemainInOrder) {
    coex().acs_chan_mask = 0x7F1FFF;  // 36 and 40 excluded
    bcm_lte_coex_set_selected_channel(36);
    EXPECT_EQ(Filter({36, 40, 44, 48, 149}, true), (V{44, 48, 149}));
    EXPECT_EQ(Filter({165, 4, 44}, true), (V{165, 44}));
}

TEST_F(AcsChanlist, On5GhzNothingAllowedFallsBack) {
    coex().acs_chan_mask = 0x7F1FFF;
    EXPECT_EQ(Filter({36, 40}, true), (V{36, 40}));
    bcm_lte_coex_set_selected_channel(40);
    EXPECT_EQ(Filter({36, 40}, true), V{40});
}
