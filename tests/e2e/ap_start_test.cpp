// Bringing the access point up through the reference host: the radio and the spy thread.
#include "agent/spy_state.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "wpscli_test.h"

using namespace e2e;

using AccessPoint = E2eTest;

TEST_F(AccessPoint, StartBringsTheConfiguredWpa2NetworkUp) {
    StartAp();
    EXPECT_TRUE(sandbox::Exists("/usr/bin/bcmApSet.sh"));
    EXPECT_FALSE(sandbox::Exists("/usr/bin/bcmApStaSet.sh"));
    EXPECT_FALSE(WlarmCallsOf("set_pmk").empty()) << "the generated script did not run";
    EXPECT_EQ(Wlarm("isup") + Wlarm("ssid"), std::string("1Current SSID: \"") + kSsid + "\"");
    // AES; 0x84: WPA2-PSK and WPA-PSK.
    EXPECT_EQ(SimGet("bss0.closed") + SimGet("bss0.wsec") + SimGet("bss0.wpa_auth") +
                  SimGet("bss0.sup_wpa"),
              "041321");
    EXPECT_EQ(SimGet("bss0.pmk"), kPassphrase);
    // Only stations that completed the key handshake count on a secured network.
    EXPECT_STREQ(spy_command_snapshot().spy_cmd, "wlarm autho_sta_list");
    EXPECT_EQ(spy_command_snapshot().spy_mac_offset, 14);
    EXPECT_EQ(Broadcasts("wlan_switch"), std::vector<std::string>{"on"});
    EXPECT_TRUE(logcap::Has(logcap::User(), "WLAN UP"));
    EXPECT_TRUE(host_->agent().GetWlanOn());

    EXPECT_EQ(host_->StartSpy(), -2) << "a second start while running is refused";
    EXPECT_EQ(Wlarm("isup"), "1");
    EXPECT_TRUE(host_->agent().IsRunning());
}

TEST_F(AccessPoint, StationModeRunsTheApPlusStationScript) {
    WriteWlanSettings(true);
    WriteApConfig(kWps);
    StartAp();
    EXPECT_TRUE(sandbox::Exists("/usr/bin/bcmApStaSet.sh"));
    EXPECT_FALSE(sandbox::Exists("/usr/bin/bcmApSet.sh"));
    EXPECT_EQ(sandbox::ReadFile("/etc/scan_results"), "0\n");
    EXPECT_EQ(SimGet("apsta"), "1");
    EXPECT_EQ(Wlarm("bss -C 1"), "up");
    EXPECT_EQ(Wlarm("ssid -C 1"), std::string("Current SSID: \"") + kSsid + "\"");
    EXPECT_EQ(SimGet("bss1.pmk"), kPassphrase);
    EXPECT_EQ(sandbox::ReadFile("/tmp/wpa_supplicant.calls"),
              "-B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n");

    // WPS serves the AP side, which is the second interface in this mode.
    ASSERT_TRUE(host_->agent().IsWPSFeatured());
    wpscli_test_call call;
    ASSERT_EQ(wpscli_test_get_call(0, &call), 0);
    EXPECT_EQ(std::string(call.name) + " " + call.args[0] + " " + call.args[1],
              "brcm_wpscli_open \"wl0.1\" \"br0\"");
}
