// The methods of the service object as bus clients see them.
#include <gtest/gtest.h>
#include <libubus.h>

#include <sstream>
#include <string>

#include "tests/support/sandbox.h"
#include "ubus/service_object.h"

namespace {

// One line per method, in table order: its name, then its policy as "field:type" entries
// ("s" string, "i" int32, "a" array). A field name or type that differs from what clients send
// leaves that argument absent.
constexpr const char* kInterface = R"(wlan_set_switch switch:s
wlan_get_sta
wlan_get_sta_num
wlan_get_switch
wlan_wps_start wps_pin:s
wlan_wps_cancel
wlan_get_wps_status
wlan_last_rpc
wlan_get_config ssid:s ignore_broadcast_ssid:i region:s band_type:i chan:i wmode:i chan_width:i wpa:i wpa_encrypt:i wpa_key:s mac_filter:i mac_addrs:s wps:i ap_isolate:i
wlan_set_config ssid:s ignore_broadcast_ssid:i region:s band_type:i chan:i wmode:i chan_width:i wpa:i wpa_encrypt:i wpa_key:s mac_filter:i mac_addrs:s wps:i ap_isolate:i
wlan_get_client_mac client_mac:s
wlan_get_5G_support if_support_5G:i
wlan_get_region_info_list list_num:i list:a
wlan_get_ps_status power_save_status:i power_level:i disable_time:i
wlan_set_ps_status power_save_status:i power_level:i disable_time:i
wlan_send_wwan_state wlan_if:s band_info_valid:i ul_band_freq:i ul_band_bw:i dl_band_freq:i dl_band_bw:i tdd_info_valid:i tdd_info_frame_offset:i tdd_info_config:i tdd_info_subframe_config:i tdd_info_ul_config:i tdd_info_dl_config:i off_period_valid:i off_period:i
wlan_set_sta_config ssid:s channel:i sec_type:i ieee8021x_type:i wpa_key:s keyid:i authtype:i ip:s submask:s gateway:s dns1:s dns2:s
wlan_set_static_ip_config ssid:s
wlan_get_scan_result
wlan_get_connected_info
)";

std::string Describe(const ubus_object& object) {
    std::ostringstream out;
    for (int m = 0; m < object.n_methods; ++m) {
        const ubus_method& method = object.methods[m];
        out << method.name;
        for (int i = 0; i < method.n_policy; ++i) {
            const blobmsg_policy& field = method.policy[i];
            out << " " << field.name << ":"
                << (field.type == BLOBMSG_TYPE_STRING  ? "s"
                    : field.type == BLOBMSG_TYPE_INT32 ? "i"
                    : field.type == BLOBMSG_TYPE_ARRAY ? "a"
                                                       : "?");
        }
        out << "\n";
    }
    return out.str();
}

class MethodTable : public SandboxTest {};

}  // namespace

TEST_F(MethodTable, BothObjectsDeclareTheInterfaceClientsUse) {
    for (const ubus_object* object : {&wlan_object, &wlan_object_test}) {
        EXPECT_EQ(object->type, &wlan_object_type) << object->name;
        EXPECT_EQ(Describe(*object), kInterface) << object->name;
    }
}
