// The service object's methods and argument policies, in the order they are declared to the
// bus. Everything here is constant data, in place when the library is loaded.
#include "ubus/method_policies.h"
#include "ubus/service_object.h"
#include "ubus/ubus_shared.h"

const blobmsg_policy wlan_switch_policy[SWITCH_POLICY_MAX] = {
    {"switch", BLOBMSG_TYPE_STRING},
};

const blobmsg_policy wlan_wps_start_policy[WPS_START_POLICY_MAX] = {
    {"wps_pin", BLOBMSG_TYPE_STRING},
};

const blobmsg_policy wlan_config_policy[CONFIG_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},       {"ignore_broadcast_ssid", BLOBMSG_TYPE_INT32},
    {"region", BLOBMSG_TYPE_STRING},     {"band_type", BLOBMSG_TYPE_INT32},
    {"chan", BLOBMSG_TYPE_INT32},        {"wmode", BLOBMSG_TYPE_INT32},
    {"chan_width", BLOBMSG_TYPE_INT32},  {"wpa", BLOBMSG_TYPE_INT32},
    {"wpa_encrypt", BLOBMSG_TYPE_INT32}, {"wpa_key", BLOBMSG_TYPE_STRING},
    {"mac_filter", BLOBMSG_TYPE_INT32},  {"mac_addrs", BLOBMSG_TYPE_STRING},
    {"wps", BLOBMSG_TYPE_INT32},         {"ap_isolate", BLOBMSG_TYPE_INT32},
};

const blobmsg_policy wlan_client_mac_policy[CLIENT_MAC_POLICY_MAX] = {
    {"client_mac", BLOBMSG_TYPE_STRING},
};

const blobmsg_policy wlan_5g_support_policy[SUPPORT_5G_POLICY_MAX] = {
    {"if_support_5G", BLOBMSG_TYPE_INT32},
};

const blobmsg_policy wlan_region_list_policy[REGION_LIST_POLICY_MAX] = {
    {"list_num", BLOBMSG_TYPE_INT32},
    {"list", BLOBMSG_TYPE_ARRAY},
};

const blobmsg_policy wlan_power_save_policy[PS_POLICY_MAX] = {
    {"power_save_status", BLOBMSG_TYPE_INT32},
    {"power_level", BLOBMSG_TYPE_INT32},
    {"disable_time", BLOBMSG_TYPE_INT32},
};

const blobmsg_policy wlan_wwan_policy[WWAN_POLICY_MAX] = {
    {"wlan_if", BLOBMSG_TYPE_STRING},           {"band_info_valid", BLOBMSG_TYPE_INT32},
    {"ul_band_freq", BLOBMSG_TYPE_INT32},       {"ul_band_bw", BLOBMSG_TYPE_INT32},
    {"dl_band_freq", BLOBMSG_TYPE_INT32},       {"dl_band_bw", BLOBMSG_TYPE_INT32},
    {"tdd_info_valid", BLOBMSG_TYPE_INT32},     {"tdd_info_frame_offset", BLOBMSG_TYPE_INT32},
    {"tdd_info_config", BLOBMSG_TYPE_INT32},    {"tdd_info_subframe_config", BLOBMSG_TYPE_INT32},
    {"tdd_info_ul_config", BLOBMSG_TYPE_INT32}, {"tdd_info_dl_config", BLOBMSG_TYPE_INT32},
    {"off_period_valid", BLOBMSG_TYPE_INT32},   {"off_period", BLOBMSG_TYPE_INT32},
};

const blobmsg_policy wlan_sta_config_policy[STA_CONFIG_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},    {"channel", BLOBMSG_TYPE_INT32},
    {"sec_type", BLOBMSG_TYPE_INT32}, {"ieee8021x_type", BLOBMSG_TYPE_INT32},
    {"wpa_key", BLOBMSG_TYPE_STRING}, {"keyid", BLOBMSG_TYPE_INT32},
    {"authtype", BLOBMSG_TYPE_INT32}, {"ip", BLOBMSG_TYPE_STRING},
    {"submask", BLOBMSG_TYPE_STRING}, {"gateway", BLOBMSG_TYPE_STRING},
    {"dns1", BLOBMSG_TYPE_STRING},    {"dns2", BLOBMSG_TYPE_STRING},
};

const blobmsg_policy wlan_static_ip_policy[STATIC_IP_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},
};

namespace {

const ubus_method wlan_methods[kWlanMethodCount] = {
    UBUS_METHOD("wlan_set_switch", ubus_wlan_set_switch, wlan_switch_policy),
    UBUS_METHOD_NOARG("wlan_get_sta", ubus_wlan_get_stas),
    UBUS_METHOD_NOARG("wlan_get_sta_num", ubus_wlan_get_sta_num),
    UBUS_METHOD_NOARG("wlan_get_switch", ubus_wlan_get_switch),
    UBUS_METHOD("wlan_wps_start", ubus_wlan_start_wps, wlan_wps_start_policy),
    UBUS_METHOD_NOARG("wlan_wps_cancel", ubus_wlan_cancel_wps),
    UBUS_METHOD_NOARG("wlan_get_wps_status", ubus_wlan_get_wps_status),
    UBUS_METHOD_NOARG("wlan_last_rpc", ubus_wlan_last_rpc),
    UBUS_METHOD("wlan_get_config", ubus_wlan_getconfig, wlan_config_policy),
    UBUS_METHOD("wlan_set_config", ubus_wlan_setconfig, wlan_config_policy),
    UBUS_METHOD("wlan_get_client_mac", ubus_wlan_get_client_mac, wlan_client_mac_policy),
    UBUS_METHOD("wlan_get_5G_support", ubus_wlan_get_5G_support, wlan_5g_support_policy),
    UBUS_METHOD("wlan_get_region_info_list", ubus_wlan_get_region_info_list,
                wlan_region_list_policy),
    UBUS_METHOD("wlan_get_ps_status", ubus_wlan_get_ps_status, wlan_power_save_policy),
    UBUS_METHOD("wlan_set_ps_status", ubus_wlan_set_ps_status, wlan_power_save_policy),
    UBUS_METHOD("wlan_send_wwan_state", ubus_wlan_receive_wwan_state, wlan_wwan_policy),
    UBUS_METHOD("wlan_set_sta_config", ubus_wlan_set_sta_config, wlan_sta_config_policy),
    UBUS_METHOD("wlan_set_static_ip_config", ubus_wlan_set_static_ip_config, wlan_static_ip_policy),
    UBUS_METHOD_NOARG("wlan_get_scan_result", ubus_wlan_get_scan_result),
    UBUS_METHOD_NOARG("wlan_get_connected_info", ubus_wlan_get_connected_info),
};

// Nothing to do when a client subscribes to the object.
void on_wlan_object_subscribe(ubus_context*, ubus_object*) {}

}  // namespace

ubus_object_type wlan_object_type = UBUS_OBJECT_TYPE("wlan_object_type", wlan_methods);

ubus_object wlan_object = {.avl = {},
                           .name = "wlan_object",
                           .id = 0,
                           .path = nullptr,
                           .type = &wlan_object_type,
                           .subscribe_cb = on_wlan_object_subscribe,
                           .has_subscribers = false,
                           .methods = wlan_methods,
                           .n_methods = kWlanMethodCount};

ubus_object wlan_object_test = {.avl = {},
                                .name = "wlan_object_test",
                                .id = 0,
                                .path = nullptr,
                                .type = &wlan_object_type,
                                .subscribe_cb = on_wlan_object_subscribe,
                                .has_subscribers = false,
                                .methods = wlan_methods,
                                .n_methods = kWlanMethodCount};
