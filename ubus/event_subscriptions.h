#ifndef WLAN_UBUS_EVENT_SUBSCRIPTIONS_H
#define WLAN_UBUS_EVENT_SUBSCRIPTIONS_H

#include <libubus.h>

// Subscribes the four system events ("key_detect_type", "usb_event_type", "oled_event",
// "system_state", in this order) on the connection. Returns 0, or -3 at the first failure
// (logged); the subscriptions made before it stay.
int subscribe_wlan_events(ubus_context* ctx);

// Their callbacks, in the same order. The key, USB and system events belong to the power-save
// group (methods_power.cpp), the display's band switch to band_switch.cpp.
void on_key_event(ubus_context* ctx, ubus_event_handler* ev, const char* type, blob_attr* msg);
void on_usb_event(ubus_context* ctx, ubus_event_handler* ev, const char* type, blob_attr* msg);
void on_oled_event(ubus_context* ctx, ubus_event_handler* ev, const char* type, blob_attr* msg);
void _handle_system_event_msg(ubus_context* ctx, ubus_event_handler* ev, const char* type,
                              blob_attr* msg);

#endif
