// The roads to a Wi-Fi restart other than the LTE report: the display's band switch and a radio
// that fails to start.
#include <stdlib.h>

#include <chrono>

#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_test_hooks.h"
#include "wlan_config.h"

using namespace e2e;
using test_host::HostAction;
using test_host::HostEvent;

using Restart = E2eTest;

// The display's band switch rewrites the configuration; the restart the platform then makes
// must read it back as a 5 GHz AP.
TEST_F(Restart, BandSwitchEventRestartsTheApOnTheOtherBand) {
    bus_test::FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    ASSERT_TRUE(qcmap.registered());
    StartAp();
    ASSERT_EQ(ubus_test_send_event("oled_event", "{\"band_switch\":\"change_to_5G\"}"), 0);
    ASSERT_TRUE(qcmap.WaitForCalls(1));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{"{\"reload_driver\":0}"});
    wlan_mgr_bss_config* bss = nullptr;
    ASSERT_EQ(wlan_mgr_get_config(&bss, "/etc/hostapd.conf"), 0);
    ASSERT_NE(bss, nullptr);
    EXPECT_EQ(bss->band_type, 1);
    EXPECT_EQ(bss->wmode, 6);
    EXPECT_STREQ(bss->wpa_passphrase, kPassphrase);
    wlan_mgr_free_config(&bss);

    RestartAp();
    EXPECT_EQ(Wlarm("band"), "a");
    EXPECT_GE(atoi(Wlarm("chanspec").c_str()), 36);
}

TEST_F(Restart, FailingRadioStartIsRestartedByTheHost) {
    StartAp();  // the first start connects the bus side, which the restart path needs
    ASSERT_EQ(host_->StopSpy(), 0);
    ASSERT_TRUE(Sim("fault fail ssid 1"));  // the start script's first SSID command
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(host_->StartSpy(), 0);
    EXPECT_FALSE(host_->agent().GetFailHandled());
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP start failure detected!"));

    long at = host_->WaitFor(Event(HA_WLAN_EVT_WLAN_OFF, 3), kEventWaitMs);
    ASSERT_GE(at, 0);
    EXPECT_GE(host_->Events()[static_cast<size_t>(at)].when - started,
              std::chrono::milliseconds(1900))
        << "the restart request waits 2 seconds";
    for (const HostEvent& e : host_->Events())
        EXPECT_TRUE(e.type != HA_WLAN_EVT_WLAN_OFF ||
                    e.receiver == test_host::Receiver::kCountDown);
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
