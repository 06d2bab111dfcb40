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

// "name:type" of every policy field of a method, joined by blanks.
std::string PolicyOf(const ubus_method& method) {
    std::string text;
    for (int i = 0; i < method.n_policy; ++i) {
        if (!text.empty()) text += ' ';
        text += std::string(method.policy[i].name) + ':' +
                (method.policy[i].type == BLOBMSG_TYPE_STRING  ? "s"
                 : method.policy[i].type == BLOBMSG_TYPE_INT32 ? "i"
                 : method.policy[i].type == BLOBMSG_TYPE_ARRAY ? "a"
                                                               : "?");
    }
    return text;
}

class MethodTable : public SandboxTest {};

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

TEST_F(MethodTable, PoliciesNameTheFieldsClientsSend) {
    const ubus_method* methods = wlan_object_test.methods;
    EXPECT_EQ(PolicyOf(methods[0]), "switch:s");
    EXPECT_EQ(PolicyOf(methods[4]), "wps_pin:s");
    const std::string config =
        "ssid:s ignore_broadcast_ssid:i region:s band_type:i chan:i wmode:i chan_width:i wpa:i "
        "wpa_encrypt:i wpa_key:s mac_filter:i mac_addrs:s wps:i ap_isolate:i";
    EXPECT_EQ(PolicyOf(methods[8]), config);
    EXPECT_EQ(PolicyOf(methods[9]), config);
    EXPECT_EQ(PolicyOf(methods[10]), "client_mac:s");
    EXPECT_EQ(PolicyOf(methods[11]), "if_support_5G:i");
    EXPECT_EQ(PolicyOf(methods[12]), "list_num:i list:a");
    const std::string power_save = "power_save_status:i power_level:i disable_time:i";
    EXPECT_EQ(PolicyOf(methods[13]), power_save);
    EXPECT_EQ(PolicyOf(methods[14]), power_save);
    EXPECT_EQ(PolicyOf(methods[15]),
              "wlan_if:s band_info_valid:i ul_band_freq:i ul_band_bw:i dl_band_freq:i "
              "dl_band_bw:i tdd_info_valid:i tdd_info_frame_offset:i tdd_info_config:i "
              "tdd_info_subframe_config:i tdd_info_ul_config:i tdd_info_dl_config:i "
              "off_period_valid:i off_period:i");
    EXPECT_EQ(PolicyOf(methods[16]),
              "ssid:s channel:i sec_type:i ieee8021x_type:i wpa_key:s keyid:i authtype:i ip:s "
              "submask:s gateway:s dns1:s dns2:s");
    EXPECT_EQ(PolicyOf(methods[17]), "ssid:s");
    for (int i : {1, 2, 3, 5, 6, 7, 18, 19}) EXPECT_EQ(PolicyOf(methods[i]), "") << "#" << i;
}

TEST_F(MethodTable, MethodsNotBuiltYetAnswerNotSupported) {
    HostapdAgent agent;
    ASSERT_EQ(agent.ConnectUbus(), 0);
    for (const std::string& method : kMethodsInOrder)
        EXPECT_EQ(ubus_test_call("wlan_object_test", method.c_str(), "{}", 10000, nullptr),
                  UBUS_STATUS_NOT_SUPPORTED)
            << method;
}
