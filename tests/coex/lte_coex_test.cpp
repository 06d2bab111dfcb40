#include <gtest/gtest.h>
#include <stdio.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "coex/coex_state.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "wlanmgr.h"

// A fresh agent handed to the coexistence code, and a recorder in place of the platform's
// Wi-Fi restart request.
class CoexTest : public SandboxTest {
protected:
    void Prepare() override {
        restarts = 0;
        saved_restart = coex_set_restart_request(&CountRestart);
        agent.reset(new HostapdAgent());
        bcm_lte_coex_set_shadow_agent(agent.get());
    }
    void TearDown() override {
        if (saved_restart != nullptr) coex_set_restart_request(saved_restart);
        bcm_lte_coex_set_shadow_agent(nullptr);
        agent.reset();
    }

    lte_coex_state_t& coex() { return agent->lte_coex; }
    // "state band freq mask operational", band and mask in hexadecimal.
    std::string State() {
        const lte_coex_state_t& c = coex();
        char text[64];
        snprintf(text, sizeof(text), "%d %x %u %x %d", c.wwan_state, c.wwan_band, c.wwan_freq,
                 c.acs_chan_mask, c.wwan_operational);
        return text;
    }

    static int CountRestart() {
        ++restarts;
        return 0;
    }
    static bool HasLevel5(const std::string& text) { return logcap::Has(logcap::Level5(), text); }

    std::unique_ptr<HostapdAgent> agent;
    CoexRestartRequest saved_restart = nullptr;
    static inline int restarts = 0;
};

using WwanReport = CoexTest;
using AcsChanlist = CoexTest;

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

TEST_F(WwanReport, MaskFromTheTableRowOfTheFrequency) {
    Report(BandReport(2510, 2630, 10));
    EXPECT_EQ(State(), "1 f 2510 7fdffe 1");

    // Applied in order: a report that matches no row keeps the mask of the one before.
    const std::tuple<int32_t, int32_t, int32_t, const char*> steps[] = {
        {2510, 2630, 20, "1 f 2510 7fdff8 1"},
        {2510, 2630, 25, "1 f 2510 7fdff8 1"},    // no row allows 25 MHz
        {2525, 2630, 10, "1 f 2525 7fdfc0 1"},    // row bounds include low and exclude high
        {1730, 1825, 10, "1 f 1730 7f1fff 1"},    // the 5 GHz side table
        {2350, 2350, 100, "1 f0 2350 7fdfc0 1"},  // TDD ignores the bandwidth
        {1730, 1730, 10, "1 f0 1730 7fdfc0 1"},   // as TDD the FDD 5 GHz table does not match
        {0, 2630, 10, "2 ff 2630 7fdfc0 1"},      // idle receive keeps the mask
        {0, 0, 0, "0 0 0 7fdfc0 1"},              // and so does deactivation
    };
    for (const auto& [ul, dl, ul_bw, state] : steps) {
        Report(BandReport(ul, dl, ul_bw));
        EXPECT_EQ(State(), state) << ul << "/" << dl << " bw " << ul_bw;
    }
}

// Without an agent a report is only logged.
TEST_F(WwanReport, OnlyValidPartsOfAReportWithAnAgentCount) {
    lte_coex_wwan_data_t data = BandReport(2510, 2630, 10);
    bcm_lte_coex_set_shadow_agent(nullptr);
    Report(data);
    EXPECT_TRUE(HasLevel5("LTE_COEX: shadow agent is NULL\n"));
    EXPECT_EQ(State(), "0 0 0 0 0");
    bcm_lte_coex_set_shadow_agent(agent.get());

    data = {};
    data.off_period_valid = 1;  // enough on its own to make LTE operational
    Report(data);
    EXPECT_EQ(State(), "0 0 0 0 1");
}

TEST_F(WwanReport, RestartOnlyWhenTheRunningChannelLeavesTheMask) {
    // Wi-Fi on, operating channel, uplink and downlink MHz, restarts, mask, log
    const std::tuple<bool, unsigned, int32_t, int32_t, int, int32_t, const char*> cases[] = {
        {true, 1, 2530, 2630, 1, 0x7FDFC0, nullptr},  // channels 7..13 and 5 GHz
        {true, 11, 2530, 2630, 0, 0x7FDFC0, nullptr},
        {false, 1, 2530, 2630, 0, 0x7FDFC0, "LTE_COEX: eth0 is down!"},
        {true, 14, 2530, 2630, 0, 0x7FDFC0,
         "LTE_COEX: ap_oper_chan_mask is 0! no need to change channel!"},
        {true, 1, 700, 750, 0, 0, nullptr},  // outside the tables
    };
    for (const auto& [wlan_on, channel, ul, dl, restart_count, mask, log] : cases) {
        SCOPED_TRACE(testing::Message() << "on " << wlan_on << " channel " << channel << " " << ul);
        coex() = lte_coex_state_t{};
        restarts = 0;
        logcap::Clear();
        agent->SetWlanOn(wlan_on);
        bcm_lte_coex_set_selected_channel(channel);
        Report(BandReport(ul, dl, 10));
        EXPECT_EQ(restarts, restart_count);
        EXPECT_EQ(coex().acs_chan_mask, mask);
        EXPECT_TRUE(log == nullptr || HasLevel5(log)) << log;
    }
}

TEST_F(AcsChanlist, WithoutAnAgentOneFallbackChannel) {
    bcm_lte_coex_set_shadow_agent(nullptr);
    EXPECT_EQ(Filter({1, 6, 11}, false), V{6});
    EXPECT_EQ(Filter({149, 153}, true), V{149});
    EXPECT_EQ(Filter({}, true), V{6});
    EXPECT_TRUE(HasLevel5("LTE_COEX: shadow agent is NULL\n"));
}

TEST_F(AcsChanlist, ByMaskAndOperatingChannel) {
    const char* const kAll = "LTE_COEX: lte_coex.acs_chan_mask is 0! ACS in valid channels!";
    const char* const kKeep = "LTE_COEX: lte_coex.acs_chan_mask is 0! no need to change channel!";
    const char* const kAllowed =
        "LTE_COEX: channel 11 is in lte_coex.acs_chan_mask 8380352! no need to change channel!";
    // mask, operating channel, candidates, 5 GHz, channels given, log
    const std::tuple<int32_t, unsigned, V, bool, V, const char*> cases[] = {
        {0, 0, {1, 3, 6, 11}, false, {1, 3, 6, 11}, kAll},
        {0, 11, {1, 6}, false, {11}, kKeep},
        // With no candidates at all the one channel still fits the promised room of one.
        {0, 11, {}, false, {11}, nullptr},
        {0x7FDFC0, 11, {1, 6, 11}, false, {11}, kAllowed},
        // On 2.4 GHz only allowed non-overlapping channels remain; none allowed falls back.
        {0x7FDF00, 0, {1, 6, 11}, false, {11}, nullptr},
        {0x7FDFFF, 0, {11, 6, 3, 1, 13}, false, {1, 6, 11}, nullptr},
        {0x7FDF00, 1, {1, 6}, false, {1}, nullptr},
        // 0x7F1FFF: 36 and 40 excluded; allowed 5 GHz candidates remain in order.
        {0x7F1FFF, 36, {36, 40, 44, 48, 149}, true, {44, 48, 149}, nullptr},
        {0x7F1FFF, 0, {36, 40}, true, {36, 40}, nullptr},
        {0x7F1FFF, 40, {36, 40}, true, {40}, nullptr},
    };
    for (const auto& [mask, selected, candidates, is_5g, expected, log] : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << mask << std::dec << " chan " << selected
                                        << " " << testing::PrintToString(candidates));
        logcap::Clear();
        coex().acs_chan_mask = mask;
        bcm_lte_coex_set_selected_channel(selected);
        EXPECT_EQ(Filter(candidates, is_5g), expected);
        EXPECT_TRUE(log == nullptr || HasLevel5(log)) << log;
    }
}
