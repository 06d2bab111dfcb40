// Station-mode methods: saving a station profile and connecting with it, and the static IP
// settings of a saved network.
#include "ubus/method_groups.h"

namespace {

enum StaConfigPolicyField {
    STA_CONFIG_SSID,
    STA_CONFIG_CHANNEL,
    STA_CONFIG_SEC_TYPE,
    STA_CONFIG_IEEE8021X_TYPE,
    STA_CONFIG_WPA_KEY,
    STA_CONFIG_KEYID,
    STA_CONFIG_AUTHTYPE,
    STA_CONFIG_IP,
    STA_CONFIG_SUBMASK,
    STA_CONFIG_GATEWAY,
    STA_CONFIG_DNS1,
    STA_CONFIG_DNS2,
    STA_CONFIG_POLICY_MAX
};
const blobmsg_policy sta_config_policy[STA_CONFIG_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},    {"channel", BLOBMSG_TYPE_INT32},
    {"sec_type", BLOBMSG_TYPE_INT32}, {"ieee8021x_type", BLOBMSG_TYPE_INT32},
    {"wpa_key", BLOBMSG_TYPE_STRING}, {"keyid", BLOBMSG_TYPE_INT32},
    {"authtype", BLOBMSG_TYPE_INT32}, {"ip", BLOBMSG_TYPE_STRING},
    {"submask", BLOBMSG_TYPE_STRING}, {"gateway", BLOBMSG_TYPE_STRING},
    {"dns1", BLOBMSG_TYPE_STRING},    {"dns2", BLOBMSG_TYPE_STRING},
};

enum StaticIpPolicyField { STATIC_IP_SSID, STATIC_IP_POLICY_MAX };
const blobmsg_policy static_ip_policy[STATIC_IP_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},
};

}  // namespace

// Not built yet: these methods answer UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_set_sta_config(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                             blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_set_static_ip_config(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                                   blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

// The static IP list does not exist yet.
void static_ip_config_release() {}

namespace {

const ubus_method station_methods[] = {
    UBUS_METHOD("wlan_set_sta_config", ubus_wlan_set_sta_config, sta_config_policy),
    UBUS_METHOD("wlan_set_static_ip_config", ubus_wlan_set_static_ip_config, static_ip_policy),
};

}  // namespace

const MethodGroup station_method_group = WLAN_METHOD_GROUP(station_methods);
