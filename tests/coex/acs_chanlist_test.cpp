#include "coex/chan_bits.h"
#include "tests/coex/coex_test_support.h"

// Narrowing of the auto-channel candidates to the channels the LTE frequency allows.
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

TEST_F(AcsChanlist, ByMaskAndOperatingChannel) {
    struct Case {
        int32_t mask;
        unsigned selected;
        V candidates;
        bool is_5g;
        V expected;
        const char* log;
    };
    const char* const kAll = "LTE_COEX: lte_coex.acs_chan_mask is 0! ACS in valid channels!";
    const char* const kKeep = "LTE_COEX: lte_coex.acs_chan_mask is 0! no need to change channel!";
    const char* const kAllowed =
        "LTE_COEX: channel 11 is in lte_coex.acs_chan_mask 8380352! no need to change channel!";
    const Case cases[] = {
        {0, 0, {1, 3, 6, 11}, false, {1, 3, 6, 11}, kAll},
        {0, 0, {}, false, {}, nullptr},
        {0, 11, {1, 6}, false, {11}, kKeep},
        // With no candidates at all the one channel still fits the promised room of one.
        {0, 11, {}, false, {11}, nullptr},
        // 0x7FDFC0: channels 7..13 and 5 GHz.
        {0x7FDFC0, 11, {1, 6, 11}, false, {11}, kAllowed},
        // On 2.4 GHz only allowed non-overlapping channels remain; none allowed falls back.
        {0x7FDF00, 0, {1, 6, 11}, false, {11}, nullptr},
        {0x7FDFFF, 0, {11, 6, 3, 1, 13}, false, {1, 6, 11}, nullptr},
        {0x7FDF00, 0, {1, 6}, false, {1, 6}, nullptr},
        {0x7FDF00, 1, {1, 6}, false, {1}, nullptr},
        // 0x7F1FFF: 36 and 40 excluded; allowed 5 GHz candidates remain in order.
        {0x7F1FFF, 36, {36, 40, 44, 48, 149}, true, {44, 48, 149}, nullptr},
        {0x7F1FFF, 36, {165, 4, 44}, true, {165, 44}, nullptr},
        {0x7F1FFF, 0, {36, 40}, true, {36, 40}, nullptr},
        {0x7F1FFF, 40, {36, 40}, true, {40}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.mask << std::dec << " chan " << c.selected
                                        << " " << testing::PrintToString(c.candidates));
        logcap::Clear();
        coex().acs_chan_mask = c.mask;
        bcm_lte_coex_set_selected_channel(c.selected);
        EXPECT_EQ(Filter(c.candidates, c.is_5g), c.expected);
        EXPECT_TRUE(c.log == nullptr || HasLevel5(c.log)) << c.log;
    }
}

// The channel bit numbering of the LTE lookup tables' masks.
TEST(CoexChannelBits, EachMappedChannelHasItsBitAndOthersNone) {
    const std::pair<long, uint32_t> cases[] = {
        {1, 1u << 0},    {6, 1u << 5},    {13, 1u << 12},   {36, 1u << 14}, {48, 1u << 17},
        {149, 1u << 18}, {165, 1u << 22}, {0, 0},           {-1, 0},        {14, 0},
        {35, 0},         {49, 0},         {52, 0},          {100, 0},       {140, 0},
        {148, 0},        {166, 0},        {4294967295L, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(coex_chan_bit(c.first), c.second) << c.first;
}
