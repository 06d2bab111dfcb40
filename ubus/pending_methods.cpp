// Method handlers and event callbacks whose work is not built yet. Each method answers
// UBUS_STATUS_NOT_SUPPORTED and each event is only traced. A real definition in its own file
// replaces its entry here.
#include "ubus/ubus_shared.h"
#include "util/log.h"

#define WLAN_PENDING_METHOD(handler)                                                        \
    int handler(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) { \
        return UBUS_STATUS_NOT_SUPPORTED;                                                   \
    }

#define WLAN_PENDING_EVENT(callback)                                                  \
    void callback(ubus_context*, ubus_event_handler*, const char* type, blob_attr*) { \
        WLAN_TRACE("%s: event [%s] not handled", #callback, type);                    \
    }

WLAN_PENDING_METHOD(ubus_wlan_set_switch)
WLAN_PENDING_METHOD(ubus_wlan_get_stas)
WLAN_PENDING_METHOD(ubus_wlan_get_sta_num)
WLAN_PENDING_METHOD(ubus_wlan_get_switch)
WLAN_PENDING_METHOD(ubus_wlan_start_wps)
WLAN_PENDING_METHOD(ubus_wlan_cancel_wps)
WLAN_PENDING_METHOD(ubus_wlan_get_wps_status)
WLAN_PENDING_METHOD(ubus_wlan_last_rpc)
WLAN_PENDING_METHOD(ubus_wlan_getconfig)
WLAN_PENDING_METHOD(ubus_wlan_setconfig)
WLAN_PENDING_METHOD(ubus_wlan_get_client_mac)
WLAN_PENDING_METHOD(ubus_wlan_get_5G_support)
WLAN_PENDING_METHOD(ubus_wlan_get_region_info_list)
WLAN_PENDING_METHOD(ubus_wlan_get_ps_status)
WLAN_PENDING_METHOD(ubus_wlan_set_ps_status)
WLAN_PENDING_METHOD(ubus_wlan_receive_wwan_state)
WLAN_PENDING_METHOD(ubus_wlan_set_sta_config)
WLAN_PENDING_METHOD(ubus_wlan_set_static_ip_config)
WLAN_PENDING_METHOD(ubus_wlan_get_scan_result)
WLAN_PENDING_METHOD(ubus_wlan_get_connected_info)

WLAN_PENDING_EVENT(on_key_event)
WLAN_PENDING_EVENT(on_usb_event)
WLAN_PENDING_EVENT(_handle_system_event_msg)

// The station-mode static IP list does not exist yet.
void static_ip_config_release() {}
