// Power-save methods and the system events: reading and changing the power-save settings, and
// the key, USB and system events that the bus delivers.
#include <atomic>

#include "ubus/event_subscriptions.h"
#include "ubus/method_groups.h"
#include "util/log.h"

namespace {

// Shared by wlan_get_ps_status, which reads no field of the request, and wlan_set_ps_status.
enum PowerSavePolicyField { PS_POWER_SAVE_STATUS, PS_POWER_LEVEL, PS_DISABLE_TIME, PS_POLICY_MAX };
const blobmsg_policy power_save_policy[PS_POLICY_MAX] = {
    {"power_save_status", BLOBMSG_TYPE_INT32},
    {"power_level", BLOBMSG_TYPE_INT32},
    {"disable_time", BLOBMSG_TYPE_INT32},
};

// Set and cleared by the system event (on the loop thread), read by the key and USB jobs (on the
// work queue).
std::atomic<bool> g_power_bank_on{false};

}  // namespace

bool power_bank_on() { return g_power_bank_on; }

// Not built yet: these methods answer UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_get_ps_status(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                            blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

int ubus_wlan_set_ps_status(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                            blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

// Not built yet: these events are only traced.
void on_key_event(ubus_context*, ubus_event_handler*, const char* type, blob_attr*) {
    WLAN_TRACE("%s: event [%s] not handled", "on_key_event", type);
}

void on_usb_event(ubus_context*, ubus_event_handler*, const char* type, blob_attr*) {
    WLAN_TRACE("%s: event [%s] not handled", "on_usb_event", type);
}

void _handle_system_event_msg(ubus_context*, ubus_event_handler*, const char* type, blob_attr*) {
    WLAN_TRACE("%s: event [%s] not handled", "_handle_system_event_msg", type);
}

namespace {

const ubus_method power_methods[] = {
    UBUS_METHOD("wlan_get_ps_status", ubus_wlan_get_ps_status, power_save_policy),
    UBUS_METHOD("wlan_set_ps_status", ubus_wlan_set_ps_status, power_save_policy),
};

}  // namespace

const MethodGroup power_method_group = WLAN_METHOD_GROUP(power_methods);
