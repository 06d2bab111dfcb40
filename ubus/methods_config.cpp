// Configuration methods: reading and changing the AP configuration.
#include "ubus/method_groups.h"

namespace {

// Shared by wlan_get_config, which reads no field of the request, and wlan_set_config. The
// index of a field is part of wlan_set_config's error message.
enum ConfigPolicyField {
    CONFIG_SSID,
    CONFIG_IGNORE_BROADCAST_SSID,
    CONFIG_REGION,
    CONFIG_BAND_TYPE,
    CONFIG_CHAN,
    CONFIG_WMODE,
    CONFIG_CHAN_WIDTH,
    CONFIG_WPA,
    CONFIG_WPA_ENCRYPT,
    CONFIG_WPA_KEY,
    CONFIG_MAC_FILTER,
    CONFIG_MAC_ADDRS,
    CONFIG_WPS,
    CONFIG_AP_ISOLATE,
    CONFIG_POLICY_MAX
};
const blobmsg_policy config_policy[CONFIG_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},       {"ignore_broadcast_ssid", BLOBMSG_TYPE_INT32},
    {"region", BLOBMSG_TYPE_STRING},     {"band_type", BLOBMSG_TYPE_INT32},
    {"chan", BLOBMSG_TYPE_INT32},        {"wmode", BLOBMSG_TYPE_INT32},
    {"chan_width", BLOBMSG_TYPE_INT32},  {"wpa", BLOBMSG_TYPE_INT32},
    {"wpa_encrypt", BLOBMSG_TYPE_INT32}, {"wpa_key", BLOBMSG_TYPE_STRING},
    {"mac_filter", BLOBMSG_TYPE_INT32},  {"mac_addrs", BLOBMSG_TYPE_STRING},
    {"wps", BLOBMSG_TYPE_INT32},         {"ap_isolate", BLOBMSG_TYPE_INT32},
};

}  // namespace

// Not built yet: these methods answer UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_getconfig(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_setconfig(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

namespace {

const ubus_method config_methods[] = {
    UBUS_METHOD("wlan_get_config", ubus_wlan_getconfig, config_policy),
    UBUS_METHOD("wlan_set_config", ubus_wlan_setconfig, config_policy),
};

}  // namespace

const MethodGroup config_method_group = WLAN_METHOD_GROUP(config_methods);
