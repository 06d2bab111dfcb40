// Switch, station and WPS methods: switching Wi-Fi on and off, the connected stations and
// their number, and WPS start, cancel and status.
#include "ubus/method_groups.h"

namespace {

enum SwitchPolicyField { SWITCH_SWITCH, SWITCH_POLICY_MAX };
const blobmsg_policy switch_policy[SWITCH_POLICY_MAX] = {
    {"switch", BLOBMSG_TYPE_STRING},
};

enum WpsStartPolicyField { WPS_START_PIN, WPS_START_POLICY_MAX };
const blobmsg_policy wps_start_policy[WPS_START_POLICY_MAX] = {
    {"wps_pin", BLOBMSG_TYPE_STRING},
};

}  // namespace

// Not built yet: these methods answer UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_set_switch(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_get_stas(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_get_sta_num(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                          blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_get_switch(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_start_wps(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_cancel_wps(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_get_wps_status(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                             blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_last_rpc(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

namespace {

const ubus_method switch_methods[] = {
    UBUS_METHOD("wlan_set_switch", ubus_wlan_set_switch, switch_policy),
    UBUS_METHOD_NOARG("wlan_get_sta", ubus_wlan_get_stas),
    UBUS_METHOD_NOARG("wlan_get_sta_num", ubus_wlan_get_sta_num),
    UBUS_METHOD_NOARG("wlan_get_switch", ubus_wlan_get_switch),
    UBUS_METHOD("wlan_wps_start", ubus_wlan_start_wps, wps_start_policy),
    UBUS_METHOD_NOARG("wlan_wps_cancel", ubus_wlan_cancel_wps),
    UBUS_METHOD_NOARG("wlan_get_wps_status", ubus_wlan_get_wps_status),
    UBUS_METHOD_NOARG("wlan_last_rpc", ubus_wlan_last_rpc),
};

}  // namespace

const MethodGroup switch_method_group = WLAN_METHOD_GROUP(switch_methods);
