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
    for (const std::string& method : kMethodsInOrder)
        EXPECT_EQ(ubus_test_call("wlan_object_test", method.c_str(), "{}", 10000, nullptr),
                  UBUS_STATUS_NOT_SUPPORTED)
            << method;
}
