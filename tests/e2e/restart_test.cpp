// The roads to a Wi-Fi restart: an LTE report that rules the running channel out, the display's
// band switch, and a radio that fails to start.
#include <stdlib.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_test_hooks.h"
#include "wlan_coex.h"
#include "wlan_config.h"

using e2e::Broadcasts;
using e2e::kEventWaitMs;
using e2e::Sim;
using e2e::Wlarm;
using test_host::HostAction;
using test_host::HostEvent;
using test_host::Receiver;

namespace {

constexpr const char* kRestartRequest = "{\"reload_driver\":0}";

// The channels of the "autochannel 1 -c LIST" line of a radio script (empty when the script
// lets the radio choose among all of its channels).
std::vector<int> OfferedChannels(const std::string& script) {
    const std::string marker = "autochannel 1 -c ";
    size_t at = script.find(marker);
    if (at == std::string::npos) return {};
    std::istringstream list(
        script.substr(at + marker.size(), script.find('\n', at) - at - marker.size()));
    std::vector<int> channels;
    for (std::string item; std::getline(list, item, ',');)
        if (!item.empty()) channels.push_back(atoi(item.c_str()));  // "11u" -> 11
    return channels;
}

int RadioChannel() { return atoi(Wlarm("chanspec").c_str()); }

// An FDD uplink at 2530 MHz with 10 MHz: only 2.4 GHz channels 7 to 13 stay usable.
lte_coex_wwan_data_t UplinkAt2530() {
    lte_coex_wwan_data_t report = {};
    snprintf(report.wlan_if, sizeof(report.wlan_if), "%s", "rmnet_data0");
    report.band_info_valid = 1;
    report.ul_band_freq = 2530;
    report.ul_band_bw = 10;
    report.dl_band_freq = 2650;
    report.dl_band_bw = 10;
    return report;
}

}  // namespace

using Restart = E2eTest;

TEST_F(Restart, LteReportExcludingTheChannelRestartsOntoAnAllowedOne) {
    bus_test::FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    ASSERT_TRUE(qcmap.registered());
    ASSERT_TRUE(Sim("autochannel pick 1"));
    StartAp();
    HostapdAgent& agent = host_->agent();
    ASSERT_EQ(RadioChannel(), 1);
    EXPECT_EQ(agent.lte_coex.ap_oper_chan, 1u);

    lte_coex_wwan_data_t report = UplinkAt2530();
    bcm_lte_coex_update_wwan_data(&report);

    ASSERT_TRUE(qcmap.WaitForCalls(1));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{kRestartRequest});
    EXPECT_EQ(agent.lte_coex.acs_chan_mask, 0x7FDFC0);

    // The platform restarts Wi-Fi through the host.
    ASSERT_EQ(host_->StopSpy(), 0);
    size_t mark = host_->EventCount();
    ASSERT_EQ(host_->StartSpy(), 0);
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_STA_NUM, kEventWaitMs, mark), 0);

    std::vector<int> offered = OfferedChannels(sandbox::ReadFile("/usr/bin/bcmApSet.sh"));
    ASSERT_FALSE(offered.empty()) << sandbox::ReadFile("/usr/bin/bcmApSet.sh");
    for (int channel : offered) {
        EXPECT_GE(channel, 7) << "channel " << channel << " collides with the LTE uplink";
        EXPECT_LE(channel, 13);
    }
    EXPECT_GE(RadioChannel(), 7);
    EXPECT_EQ(agent.lte_coex.ap_oper_chan, static_cast<uint32_t>(RadioChannel()));
    EXPECT_EQ(qcmap.Calls().size(), 1u);
}

// The display's band switch rewrites the configuration; the restart the platform then makes
// must read it back as a 5 GHz AP.
TEST_F(Restart, BandSwitchEventRestartsTheApOnTheOtherBand) {
    bus_test::FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    ASSERT_TRUE(qcmap.registered());
    StartAp();
    ASSERT_EQ(ubus_test_send_event("oled_event", "{\"band_switch\":\"change_to_5G\"}"), 0);
    ASSERT_TRUE(qcmap.WaitForCalls(1));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{kRestartRequest});

    wlan_mgr_bss_config* bss = nullptr;
    ASSERT_EQ(wlan_mgr_get_config(&bss, "/etc/hostapd.conf"), 0);
    ASSERT_NE(bss, nullptr);
    EXPECT_EQ(bss->band_type, 1);
    EXPECT_EQ(bss->wmode, 6);
    EXPECT_STREQ(bss->wpa_passphrase, e2e::kPassphrase);
    wlan_mgr_free_config(&bss);

    ASSERT_EQ(host_->StopSpy(), 0);
    size_t mark = host_->EventCount();
    ASSERT_EQ(host_->StartSpy(), 0);
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_STA_NUM, kEventWaitMs, mark), 0);
    EXPECT_EQ(Wlarm("band"), "a");
    EXPECT_GE(RadioChannel(), 36);
}

TEST_F(Restart, FailingRadioStartIsRestartedByTheHost) {
    StartAp();  // the first start connects the bus side, which the restart path needs
    ASSERT_EQ(host_->StopSpy(), 0);

    // The start script's first SSID command fails once.
    ASSERT_TRUE(Sim("fault fail ssid 1"));
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(host_->StartSpy(), 0);
    EXPECT_FALSE(host_->agent().GetFailHandled());
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP start failure detected!"));

    long at = host_->WaitFor(e2e::Event(HA_WLAN_EVT_WLAN_OFF, 3), kEventWaitMs);
    ASSERT_GE(at, 0);
    HostEvent request = host_->Events()[static_cast<size_t>(at)];
    EXPECT_EQ(request.receiver, Receiver::kCountDown);
    EXPECT_GE(request.when - started, std::chrono::milliseconds(1900))
        << "the restart request waits 2 seconds";
    for (const HostEvent& e : host_->Events())
        if (e.type == HA_WLAN_EVT_WLAN_OFF) {
            EXPECT_EQ(e.receiver, Receiver::kCountDown);
        }
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP start failure, resume by restarting..."));

    // The host stops and starts again; the fault is used up, so the AP comes back.
    ASSERT_TRUE(host_->WaitForActions(2, kEventWaitMs));
    std::vector<HostAction> actions = host_->Actions();
    EXPECT_EQ(actions[0].kind, HostAction::kStopSpy);
    EXPECT_EQ(actions[1].kind, HostAction::kStartSpy);
    EXPECT_EQ(actions[1].result, 0);
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_STA_NUM, kEventWaitMs, static_cast<size_t>(at)), 0);
    EXPECT_EQ(Wlarm("isup"), "1");
    EXPECT_TRUE(host_->agent().IsRunning());
    EXPECT_EQ(Broadcasts("wlan_switch").back(), "on");
}
