// Bringing the access point up through the reference host: the radio and the spy thread.
#include <string>
#include <vector>

#include "agent/spy_state.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "wpscli_test.h"

using e2e::Broadcasts;
using e2e::SimGet;
using e2e::Wlarm;

using AccessPoint = E2eTest;

TEST_F(AccessPoint, StartBringsTheConfiguredWpa2NetworkUp) {
    StartAp();

    EXPECT_TRUE(sandbox::Exists("/usr/bin/bcmApSet.sh"));
    EXPECT_FALSE(sandbox::Exists("/usr/bin/bcmApStaSet.sh"));
    EXPECT_FALSE(e2e::WlarmCallsOf("set_pmk").empty()) << "the generated script did not run";
    EXPECT_EQ(Wlarm("isup"), "1");
    EXPECT_EQ(Wlarm("ssid"), std::string("Current SSID: \"") + e2e::kSsid + "\"");
    EXPECT_EQ(SimGet("bss0.closed"), "0");
    EXPECT_EQ(SimGet("bss0.wsec"), "4");        // AES
    EXPECT_EQ(SimGet("bss0.wpa_auth"), "132");  // 0x84: WPA2-PSK and WPA-PSK
    EXPECT_EQ(SimGet("bss0.sup_wpa"), "1");
    EXPECT_EQ(SimGet("bss0.pmk"), e2e::kPassphrase);

    // Only stations that completed the key handshake count on a secured network.
    EXPECT_STREQ(spy_command_snapshot().spy_cmd, "wlarm autho_sta_list");
    EXPECT_EQ(spy_command_snapshot().spy_mac_offset, 14);

    EXPECT_EQ(Broadcasts("wlan_switch"), std::vector<std::string>{"on"});
    EXPECT_TRUE(logcap::Has(logcap::User(), "WLAN UP"));
    EXPECT_TRUE(host_->agent().GetWlanOn());
}

TEST_F(AccessPoint, StationModeRunsTheApPlusStationScript) {
    e2e::WriteWlanSettings("120", "600", true);
    e2e::WriteApConfig({{"wps_state", "2"}, {"eap_server", "1"}});
    StartAp();

    EXPECT_TRUE(sandbox::Exists("/usr/bin/bcmApStaSet.sh"));
    EXPECT_FALSE(sandbox::Exists("/usr/bin/bcmApSet.sh"));
    EXPECT_EQ(sandbox::ReadFile("/etc/scan_results"), "0\n");
    EXPECT_EQ(SimGet("apsta"), "1");
    EXPECT_EQ(Wlarm("bss -C 1"), "up");
    EXPECT_EQ(Wlarm("ssid -C 1"), std::string("Current SSID: \"") + e2e::kSsid + "\"");
    EXPECT_EQ(SimGet("bss1.pmk"), e2e::kPassphrase);
    EXPECT_EQ(sandbox::ReadFile("/tmp/wpa_supplicant.calls"),
              "-B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n");

    // WPS serves the AP side, which is the second interface in this mode.
    ASSERT_TRUE(host_->agent().IsWPSFeatured());
    wpscli_test_call open_call;
    ASSERT_EQ(wpscli_test_get_call(0, &open_call), 0);
    EXPECT_STREQ(open_call.name, "brcm_wpscli_open");
    EXPECT_STREQ(open_call.args[0], "\"wl0.1\"");
    EXPECT_STREQ(open_call.args[1], "\"br0\"");
}

TEST_F(AccessPoint, SecondStartWhileRunningIsRefused) {
    StartAp();
    EXPECT_EQ(host_->StartSpy(), -2);
    EXPECT_EQ(Wlarm("isup"), "1");
    EXPECT_TRUE(host_->agent().IsRunning());
}
