#ifndef WLAN_UBUS_BUTTON_EVENTS_H
#define WLAN_UBUS_BUTTON_EVENTS_H

#include <stddef.h>

// Key messages ("<key> <action>", as the key daemon sends them in "key_detect_type" events) are
// handled on the work queue by _handle_button_event_msg (methods_power.cpp).

// Room for a key message, terminator included; longer key texts are dropped.
constexpr size_t kButtonEventMsgSize = 128;

// A key message the library raises itself: the writer fills it and queues
// _handle_button_event_msg with it and no release function. It is read on the work queue, so it
// is written only on the loop thread and only while no such job is waiting.
extern char btn_evt_msg[kButtonEventMsgSize];

// The work-queue job of a key message; text is a terminated key message. The release function
// of a copied text is btn_evt_done (wlan_event.h).
void _handle_button_event_msg(void* text);

#endif
