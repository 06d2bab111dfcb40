// The methods of the service object as bus clients see them.
#include <gtest/gtest.h>
#include <libubus.h>

#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/support/sandbox.h"
#include "ubus/service_object.h"
#include "ubus_test_hooks.h"

namespace {

const std::vector<std::string> kMethodsInOrder = {
    "wlan_set_switch",           "wlan_get_sta",           "wlan_get_sta_num",
    "wlan_get_switch",           "wlan_wps_start",         "wlan_wps_cancel",
    "wlan_get_wps_status",       "wlan_last_rpc",          "wlan_get_config",
    "wlan_set_config",           "wlan_get_client_mac",    "wlan_get_5G_support",
    "wlan_get_region_info_list", "wlan_get_ps_status",     "wlan_set_ps_status",
    "wlan_send_wwan_state",      "wlan_set_sta_config",    "wlan_set_static_ip_config",
    "wlan_get_scan_result",      "wlan_get_connected_info"};

class MethodTable : public SandboxTest {};

// A method's policy as "field:type" entries, "s" string, "i" int32, "a" array.
std::vector<std::string> PolicyOf(const ubus_method& method) {
    std::vector<std::string> fields;
    for (int i = 0; i < method.n_policy; ++i) {
        const blobmsg_policy& field = method.policy[i];
        const char* type = field.type == BLOBMSG_TYPE_STRING  ? "s"
                           : field.type == BLOBMSG_TYPE_INT32 ? "i"
                           : field.type == BLOBMSG_TYPE_ARRAY ? "a"
                                                              : "?";
        fields.push_back(std::string(field.name) + ":" + type);
    }
    return fields;
}

}  // namespace

TEST_F(MethodTable, DeclaresTheTwentyMethodsInOrderOnBothObjects) {
    for (const ubus_object* object : {&wlan_object, &wlan_object_test}) {
        ASSERT_EQ(object->n_methods, static_cast<int>(kMethodsInOrder.size()));
        EXPECT_EQ(object->type, &wlan_object_type);
        for (size_t i = 0; i < kMethodsInOrder.size(); ++i)
            EXPECT_EQ(object->methods[i].name, kMethodsInOrder[i]) << object->name << " #" << i;
    }
    EXPECT_STREQ(wlan_object_type.name, "wlan_object_type");
}

TEST_F(MethodTable, MethodsNotBuiltYetAnswerNotSupported) {
    HostapdAgent agent;
    ASSERT_EQ(agent.ConnectUbus(), 0);
    // Methods 0 to 7 (switch, stations, WPS) are built.
    for (size_t i = 8; i < kMethodsInOrder.size(); ++i)
        EXPECT_EQ(
            ubus_test_call("wlan_object_test", kMethodsInOrder[i].c_str(), "{}", 10000, nullptr),
            UBUS_STATUS_NOT_SUPPORTED)
            << kMethodsInOrder[i];
}

// A field name or type that differs from what clients send leaves that argument absent.
TEST_F(MethodTable, EachMethodParsesTheFieldsClientsSend) {
    using P = std::vector<std::string>;
    const P config = {"ssid:s",        "ignore_broadcast_ssid:i",
                      "region:s",      "band_type:i",
                      "chan:i",        "wmode:i",
                      "chan_width:i",  "wpa:i",
                      "wpa_encrypt:i", "wpa_key:s",
                      "mac_filter:i",  "mac_addrs:s",
                      "wps:i",         "ap_isolate:i"};
    const P power_save = {"power_save_status:i", "power_level:i", "disable_time:i"};
    const P wwan = {"wlan_if:s",
                    "band_info_valid:i",
                    "ul_band_freq:i",
                    "ul_band_bw:i",
                    "dl_band_freq:i",
                    "dl_band_bw:i",
                    "tdd_info_valid:i",
                    "tdd_info_frame_offset:i",
                    "tdd_info_config:i",
                    "tdd_info_subframe_config:i",
                    "tdd_info_ul_config:i",
                    "tdd_info_dl_config:i",
                    "off_period_valid:i",
                    "off_period:i"};
    const P station = {"ssid:s",    "channel:i", "sec_type:i", "ieee8021x_type:i",
                       "wpa_key:s", "keyid:i",   "authtype:i", "ip:s",
                       "submask:s", "gateway:s", "dns1:s",     "dns2:s"};
    const std::vector<P> expected = {{"switch:s"},
                                     {},
                                     {},
                                     {},
                                     {"wps_pin:s"},
                                     {},
                                     {},
                                     {},
                                     config,
                                     config,
                                     {"client_mac:s"},
                                     {"if_support_5G:i"},
                                     {"list_num:i", "list:a"},
                                     power_save,
                                     power_save,
                                     wwan,
                                     station,
                                     {"ssid:s"},
                                     {},
                                     {}};
    ASSERT_EQ(wlan_object_type.n_methods, static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(PolicyOf(wlan_object_type.methods[i]), expected[i]) << kMethodsInOrder[i];
}
