#ifndef WLAN_EVENT_H
#define WLAN_EVENT_H

#include "wlan_export.h"

// Events the library raises to the host. Integer payloads travel as the pointer's value.
typedef enum ha_wlan_event_type {
    HA_WLAN_EVT_STA_NUM = 1,    // station count as decimal text, valid during the call
    HA_WLAN_EVT_WPS = 2,        // the WPS event message that was handled
    HA_WLAN_EVT_AUTO_DOWN = 3,  // 1: idle time ran out (count-down callback only)
    HA_WLAN_EVT_KEY_CLICK = 4,  // 1
    HA_WLAN_EVT_WLAN_ON = 5,    // 1: switch Wi-Fi on
    HA_WLAN_EVT_WLAN_OFF = 6,   // 1 switch off, 3 restart (count-down callback only)
} ha_wlan_event_type;

typedef void (*ha_wlan_event_cb)(ha_wlan_event_type type, void* data);

#ifdef __cplusplus
extern "C" {
#endif

// Register / unregister one of at most four host callbacks; 0 or -1.
WLAN_EXPORT int wlan_mgr_event_cb_reg(ha_wlan_event_cb cb);
WLAN_EXPORT int wlan_mgr_event_cb_unreg(ha_wlan_event_cb cb);

// Release function of a queued key-event job: frees the key message copied from the event
// (null is ignored).
WLAN_EXPORT void btn_evt_done(void* msg);

#ifdef __cplusplus
}
#endif

#endif
