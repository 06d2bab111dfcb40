// Region, band and client queries: the supported regions, whether the configured country allows
// the 5 GHz band, and the MAC address of the station a web session comes from.
#include "ubus/method_groups.h"

namespace {

// These policies name the fields of the replies; the handlers read no request.
enum ClientMacPolicyField { CLIENT_MAC_MAC, CLIENT_MAC_POLICY_MAX };
const blobmsg_policy client_mac_policy[CLIENT_MAC_POLICY_MAX] = {
    {"client_mac", BLOBMSG_TYPE_STRING},
};

enum Support5GPolicyField { SUPPORT_5G_IF_SUPPORT, SUPPORT_5G_POLICY_MAX };
const blobmsg_policy support_5g_policy[SUPPORT_5G_POLICY_MAX] = {
    {"if_support_5G", BLOBMSG_TYPE_INT32},
};

enum RegionListPolicyField { REGION_LIST_NUM, REGION_LIST_LIST, REGION_LIST_POLICY_MAX };
const blobmsg_policy region_list_policy[REGION_LIST_POLICY_MAX] = {
    {"list_num", BLOBMSG_TYPE_INT32},
    {"list", BLOBMSG_TYPE_ARRAY},
};

}  // namespace

// Not built yet: these methods answer UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_get_client_mac(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                             blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_get_5G_support(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                             blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_get_region_info_list(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                                   blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

namespace {

const ubus_method region_methods[] = {
    UBUS_METHOD("wlan_get_client_mac", ubus_wlan_get_client_mac, client_mac_policy),
    UBUS_METHOD("wlan_get_5G_support", ubus_wlan_get_5G_support, support_5g_policy),
    UBUS_METHOD("wlan_get_region_info_list", ubus_wlan_get_region_info_list, region_list_policy),
};

}  // namespace

const MethodGroup region_method_group = WLAN_METHOD_GROUP(region_methods);
