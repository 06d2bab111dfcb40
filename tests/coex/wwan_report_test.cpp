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

TEST_F(WwanReport, FddLookupByFrequencyAndBandwidth) {
    Report(BandReport(2510, 2630, 10));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFFE);
    EXPECT_EQ(coex().wwan_state, 1);
    EXPECT_EQ(coex().wwan_band, 0x0F);
    EXPECT_EQ(coex().wwan_freq, 2510u);
    EXPECT_EQ(coex().wwan_ul_bw, 10);
    EXPECT_EQ(coex().wwan_operational, 1);

    Report(BandReport(2510, 2630, 20));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFF8);
    Report(BandReport(2510, 2630, 25));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFF8);  // no row allows 25 MHz: the mask stays
}

TEST_F(WwanReport, RowBoundsIncludeLowAndExcludeHigh) {
    Report(BandReport(2525, 2630, 10));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFC0);  // row 1, not row 0
    Report(BandReport(844, 889, 10));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFC0);  // 844 is in no row
    Report(BandReport(845, 890, 10));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFE0);
}

TEST_F(WwanReport, Fdd5GhzSideFrequency) {
    Report(BandReport(1730, 1825, 10));
    EXPECT_EQ(coex().acs_chan_mask, 0x7F1FFF);
    Report(BandReport(1938, 2128, 20));
    EXPECT_EQ(coex().acs_chan_mask, 0x0FDFFF);
}

TEST_F(WwanReport, TddIgnoresBandwidthAndThe5GhzTables) {
    Report(BandReport(2350, 2350, 100));
    EXPECT_EQ(coex().wwan_band, 0xF0);
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFC0);
    Report(BandReport(2600, 2600, 20));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FC1FF);
    // 1730 is in the FDD 5 GHz table only; as TDD nothing matches.
    Report(BandReport(1730, 1730, 10));
    EXPECT_EQ(coex().acs_chan_mask, 0x7FC1FF);
}

TEST_F(WwanReport, IdleReceiveKeepsTheMaskAndIgnoresReportsWithoutBands) {
    Report(BandReport(2510, 2630, 10));
    Report(BandReport(0, 2630, 10));
    EXPECT_EQ(coex().wwan_state, 2);
    EXPECT_EQ(coex().wwan_band, 0xFF);
    EXPECT_EQ(coex().wwan_freq, 2630u);
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFFE);

    lte_coex_wwan_data_t tdd_only = {};
    tdd_only.tdd_info_valid = 1;
    Report(tdd_only);
    EXPECT_EQ(coex().wwan_state, 2);
    EXPECT_EQ(coex().wwan_freq, 2630u);
}

TEST_F(WwanReport, DeactivatedLteKeepsTheLastMask) {
    Report(BandReport(2510, 2630, 10));
    Report(BandReport(0, 0, 0));
    EXPECT_EQ(coex().wwan_state, 0);
    EXPECT_EQ(coex().wwan_band, 0);
    EXPECT_EQ(coex().wwan_freq, 0u);
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFFE);
}

TEST_F(WwanReport, ReportWithNothingValidChangesNothing) {
    lte_coex_wwan_data_t data = BandReport(2510, 2630, 10);
    data.band_info_valid = 0;
    Report(data);
    EXPECT_EQ(coex().wwan_operational, 0);
    EXPECT_EQ(coex().acs_chan_mask, 0);
    EXPECT_EQ(coex().wwan_freq, 0u);
}

TEST_F(WwanReport, OffPeriodAloneMakesLteOperational) {
    lte_coex_wwan_data_t data = {};
    data.off_period_valid = 1;
    Report(data);
    EXPECT_EQ(coex().wwan_operational, 1);
    EXPECT_EQ(coex().acs_chan_mask, 0);
}

TEST_F(WwanReport, ChannelOutsideTheNewMaskRequestsARestart) {
    agent->SetWlanOn(true);
    bcm_lte_coex_set_selected_channel(1);
    Report(BandReport(2530, 2630, 10));  // 0x7FDFC0: channels 7..13 and 5 GHz
    EXPECT_EQ(restarts, 1);

    bcm_lte_coex_set_selected_channel(36);
    Report(BandReport(1730, 1825, 10));  // 36 and 40 excluded
    EXPECT_EQ(restarts, 2);
}

TEST_F(WwanReport, ChannelInsideTheMaskStays) {
    agent->SetWlanOn(true);
    bcm_lte_coex_set_selected_channel(11);
    Report(BandReport(2530, 2630, 10));
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFC0);
}

TEST_F(WwanReport, NoRestartWhileWifiIsOff) {
    bcm_lte_coex_set_selected_channel(1);
    Report(BandReport(2530, 2630, 10));
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(coex().acs_chan_mask, 0x7FDFC0);
    EXPECT_TRUE(HasLevel5("LTE_COEX: eth0 is down!"));
}

TEST_F(WwanReport, NoRestartWithoutAKnownChannel) {
    agent->SetWlanOn(true);
    Report(BandReport(2530, 2630, 10));
    EXPECT_TRUE(HasLevel5("LTE_COEX: ap_oper_chan is 0!"));
    bcm_lte_coex_set_selected_channel(14);
    Report(BandReport(2530, 2630, 10));
    EXPECT_TRUE(HasLevel5("LTE_COEX: ap_oper_chan_mask is 0! no need to change channel!"));
    EXPECT_EQ(restarts, 0);
}

TEST_F(WwanReport, NoRestartForAFrequencyOutsideTheTables) {
    agent->SetWlanOn(true);
    bcm_lte_coex_set_selected_channel(1);
    Report(BandReport(700, 750, 10));
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(coex().acs_chan_mask, 0);
}

TEST_F(WwanReport, WithoutAnAgentTheReportIsDropped) {
    bcm_lte_coex_set_shadow_agent(nullptr);
    Report(BandReport(2510, 2630, 10));
    EXPECT_TRUE(HasLevel5("LTE_COEX: shadow agent is NULL\n"));
    EXPECT_EQ(coex().wwan_operational, 0);
    EXPECT_EQ(coex().acs_chan_mask, 0);
    bcm_lte_coex_update_wwan_data(nullptr);
}
