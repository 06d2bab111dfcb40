// Bringing the access point up through the reference host: the radio, the spy thread and the
// bus side as a web interface and the device's other daemons see them.
#include <string>
#include <vector>

#include "agent/spy_state.h"
#include "tests/e2e/bus_peers.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "ubus/service_object.h"
#include "ubus_assistant.h"
#include "ubus_test_hooks.h"
#include "wpscli_test.h"

using e2e::Broadcasts;
using e2e::SimGet;
using e2e::Wlarm;

namespace {

const char* const kSubscribedEvents[] = {"key_detect_type", "usb_event_type", "oled_event",
                                         "system_state"};

const std::vector<std::string> kMethods = {
    "wlan_set_switch",
    "wlan_get_sta",
    "wlan_get_sta_num",
    "wlan_get_switch",
    "wlan_wps_start",
    "wlan_wps_cancel",
    "wlan_get_wps_status",
    "wlan_last_rpc",
    "wlan_get_config",
    "wlan_set_config",
    "wlan_get_client_mac",
    "wlan_get_5G_support",
    "wlan_get_region_info_list",
    "wlan_get_ps_status",
    "wlan_set_ps_status",
    "wlan_send_wwan_state",
    "wlan_set_sta_config",
    "wlan_set_static_ip_config",
    "wlan_get_scan_result",
    "wlan_get_connected_info",
};

// A call that reached the object's handler, whatever the handler answered.
bool Dispatched(int status) {
    return status != UBUS_STATUS_NOT_FOUND && status != UBUS_STATUS_METHOD_NOT_FOUND &&
           status != UBUS_STATUS_TIMEOUT && status != UBUS_STATUS_CONNECTION_FAILED;
}

}  // namespace

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

TEST_F(AccessPoint, OwnConnectionServesTheObjectOnItsLoopThread) {
    MakeHost();
    for (const char* event : kSubscribedEvents) EXPECT_EQ(ubus_test_event_listeners(event), 0);
    StartAp();

    e2e::WebUi web;
    ASSERT_TRUE(web.Connected());
    ASSERT_TRUE(ubus_test_object_exists("wlan_object_test"));
    EXPECT_FALSE(ubus_test_object_exists("wlan_object"));

    // The object on the bus is the service object with the method table, in declaration order.
    std::vector<std::string> declared;
    for (int i = 0; i < wlan_object_test.n_methods; ++i)
        declared.push_back(wlan_object_test.methods[i].name);
    EXPECT_EQ(declared, kMethods);
    EXPECT_STREQ(wlan_object_test.type->name, "wlan_object_type");

    EXPECT_TRUE(Dispatched(web.Call("wlan_object_test", "wlan_get_switch", "")));
    EXPECT_EQ(web.Call("wlan_object_test", "wlan_no_such_method", ""),
              UBUS_STATUS_METHOD_NOT_FOUND);

    for (const char* event : kSubscribedEvents)
        EXPECT_EQ(ubus_test_event_listeners(event), 1) << event;

    UbusAssistant* assistant = host_->agent().GetUbusAssistant();
    ASSERT_NE(assistant, nullptr);
    EXPECT_TRUE(host_->agent().UseInternalUbus());
    EXPECT_TRUE(assistant->IsLoopThreadAlive());
    EXPECT_TRUE(logcap::Contains("UbusAssistant::RunLoop: uloop thread started."));
}

TEST_F(AccessPoint, HostConnectionRegistersWlanObjectWithoutALoopThread) {
    test_host::Options options;
    options.host_connection = true;
    MakeHost(options);
    StartAp();

    EXPECT_TRUE(ubus_test_object_exists("wlan_object"));
    EXPECT_FALSE(ubus_test_object_exists("wlan_object_test"));
    UbusAssistant* assistant = host_->agent().GetUbusAssistant();
    ASSERT_NE(assistant, nullptr);
    EXPECT_FALSE(host_->agent().UseInternalUbus());
    EXPECT_FALSE(assistant->IsLoopThreadAlive());
    EXPECT_FALSE(assistant->IsLoopRunning());
    EXPECT_EQ(host_->agent().GetUbusContext(), host_->host_context());

    // The host's own loop dispatches the methods.
    e2e::WebUi web;
    EXPECT_TRUE(Dispatched(web.Call("wlan_object", "wlan_get_switch", "")));
    EXPECT_EQ(Broadcasts("wlan_switch"), std::vector<std::string>{"on"});
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
