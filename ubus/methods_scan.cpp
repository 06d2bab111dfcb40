// Scan methods: the networks in range and the network the station side is connected to.
#include "ubus/method_groups.h"

// Not built yet: these methods answer UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_get_scan_result(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                              blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_get_connected_info(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                                 blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

namespace {

const ubus_method scan_methods[] = {
    UBUS_METHOD_NOARG("wlan_get_scan_result", ubus_wlan_get_scan_result),
    UBUS_METHOD_NOARG("wlan_get_connected_info", ubus_wlan_get_connected_info),
};

}  // namespace

const MethodGroup scan_method_group = WLAN_METHOD_GROUP(scan_methods);
