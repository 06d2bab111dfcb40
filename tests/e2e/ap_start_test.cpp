// Bringing the access point up in station mode through the reference host, and the restart the
// host makes when the radio fails to start (every other test brings the plain AP up).
#include <chrono>

#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"

using namespace e2e;
using test_host::HostAction;
using test_host::HostEvent;

using AccessPoint = E2eTest;
using Restart = E2eTest;

TEST_F(AccessPoint, StationModeRunsTheApPlusStationScript) {
    ASSERT_EQ(sandbox::Run("sed -i \"s/wisp_status '0'/wisp_status '1'/\" /etc/config/wlan"), 0);
    WriteApConfig(kWps);
    StartAp();
    EXPECT_EQ(sandbox::ReadFile("/etc/scan_results"), "0\n");
    EXPECT_EQ(SimGet("apsta"), "1");
    EXPECT_EQ(Wlarm("bss -C 1"), "up");
    EXPECT_EQ(Wlarm("ssid -C 1"), std::string("Current SSID: \"") + kSsid + "\"");
    EXPECT_EQ(SimGet("bss1.pmk"), kPassphrase);
    EXPECT_EQ(sandbox::ReadFile("/tmp/wpa_supplicant.calls"),
              "-B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n");
    EXPECT_TRUE(host_->agent().IsWPSFeatured());
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
    EXPECT_TRUE(logcap::Has(logcap::User(), "WLAN UP"));
}
