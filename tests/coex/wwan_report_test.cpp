#include "tests/coex/coex_test_support.h"

// LTE state reports: the state kept in the agent, the table lookup and the restart request.
using WwanReport = CoexTest;

namespace {

lte_coex_wwan_data_t BandReport(int32_t ul, int32_t dl, int32_t ul_bw) {
    lte_coex_wwan_data_t data = {};
    data.band_info_valid = 1;
    data.ul_band_freq = ul;
    data.dl_band_freq = dl;
    data.ul_band_bw = ul_bw;
    return data;
}

void Report(const lte_coex_wwan_data_t& data) { bcm_lte_coex_update_wwan_data(&data); }

}  // namespace

TEST_F(WwanReport, MaskFromTheTableRowOfTheFrequency) {
    Report(BandReport(2510, 2630, 10));
    EXPECT_EQ(State(), "1 f 2510 7fdffe 1");
    EXPECT_EQ(coex().wwan_ul_bw, 10);

    // Applied in order: a report that matches no row keeps the mask of the one before.
    const std::tuple<int32_t, int32_t, int32_t, const char*> steps[] = {
        {2510, 2630, 20, "1 f 2510 7fdff8 1"},
        {2510, 2630, 25, "1 f 2510 7fdff8 1"},  // no row allows 25 MHz
        {2525, 2630, 10, "1 f 2525 7fdfc0 1"},  // row bounds include low and exclude high
        {844, 889, 10, "1 f 844 7fdfc0 1"},
        {845, 890, 10, "1 f 845 7fdfe0 1"},
        {1730, 1825, 10, "1 f 1730 7f1fff 1"},  // the 5 GHz side table
        {1938, 2128, 20, "1 f 1938 fdfff 1"},
        {2350, 2350, 100, "1 f0 2350 7fdfc0 1"},  // TDD ignores the bandwidth
        {2600, 2600, 20, "1 f0 2600 7fc1ff 1"},
        {1730, 1730, 10, "1 f0 1730 7fc1ff 1"},  // as TDD the FDD 5 GHz table does not match
    };
    for (const auto& [ul, dl, ul_bw, state] : steps) {
        Report(BandReport(ul, dl, ul_bw));
        EXPECT_EQ(State(), state) << ul << "/" << dl << " bw " << ul_bw;
    }
}

TEST_F(WwanReport, IdleReceiveAndDeactivationKeepTheMask) {
    Report(BandReport(2510, 2630, 10));
    Report(BandReport(0, 2630, 10));
    EXPECT_EQ(State(), "2 ff 2630 7fdffe 1");
    lte_coex_wwan_data_t tdd_only = {};  // no band information: ignored
    tdd_only.tdd_info_valid = 1;
    Report(tdd_only);
    EXPECT_EQ(State(), "2 ff 2630 7fdffe 1");
    Report(BandReport(0, 0, 0));
    EXPECT_EQ(State(), "0 0 0 7fdffe 1");
}

// Without an agent a report is only logged; only valid parts of a report count.
TEST_F(WwanReport, OnlyValidPartsOfAReportWithAnAgentCount) {
    lte_coex_wwan_data_t data = BandReport(2510, 2630, 10);
    bcm_lte_coex_set_shadow_agent(nullptr);
    Report(data);
    bcm_lte_coex_update_wwan_data(nullptr);
    EXPECT_TRUE(HasLevel5("LTE_COEX: shadow agent is NULL\n"));
    EXPECT_EQ(State(), "0 0 0 0 0");
    bcm_lte_coex_set_shadow_agent(agent.get());

    data.band_info_valid = 0;
    Report(data);
    EXPECT_EQ(State(), "0 0 0 0 0");
    data = {};
    data.off_period_valid = 1;  // enough on its own to make LTE operational
    Report(data);
    EXPECT_EQ(State(), "0 0 0 0 1");
}

TEST_F(WwanReport, RestartOnlyWhenTheRunningChannelLeavesTheMask) {
    struct Case {
        bool wlan_on;
        unsigned channel;
        int32_t ul, dl;
        int restarts;
        int32_t mask;
        const char* log;
    };
    const Case cases[] = {
        {true, 1, 2530, 2630, 1, 0x7FDFC0, nullptr},   // channels 7..13 and 5 GHz
        {true, 36, 1730, 1825, 1, 0x7F1FFF, nullptr},  // 36 and 40 excluded
        {true, 11, 2530, 2630, 0, 0x7FDFC0, nullptr},
        {false, 1, 2530, 2630, 0, 0x7FDFC0, "LTE_COEX: eth0 is down!"},
        {true, 0, 2530, 2630, 0, 0x7FDFC0, "LTE_COEX: ap_oper_chan is 0!"},
        {true, 14, 2530, 2630, 0, 0x7FDFC0,
         "LTE_COEX: ap_oper_chan_mask is 0! no need to change channel!"},
        {true, 1, 700, 750, 0, 0, nullptr},  // outside the tables
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "on " << c.wlan_on << " channel " << c.channel << " freq " << c.ul);
        coex() = lte_coex_state_t{};
        restarts = 0;
        logcap::Clear();
        agent->SetWlanOn(c.wlan_on);
        bcm_lte_coex_set_selected_channel(c.channel);
        Report(BandReport(c.ul, c.dl, 10));
        EXPECT_EQ(restarts, c.restarts);
        EXPECT_EQ(coex().acs_chan_mask, c.mask);
        EXPECT_TRUE(c.log == nullptr || HasLevel5(c.log)) << c.log;
    }
}
