#ifndef WLAN_UBUS_EVENT_SUBSCRIPTIONS_H
#define WLAN_UBUS_EVENT_SUBSCRIPTIONS_H

#include <libubus.h>

// Subscribes the four system events ("key_detect_type", "usb_event_type", "oled_event",
// "system_state", in this order) on the connection. Returns 0, or -3 at the first failure
// (logged); the subscriptions made before it stay.
int subscribe_wlan_events(ubus_context* ctx);

#endif
