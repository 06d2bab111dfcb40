#ifndef WLAN_UBUS_SERVICE_OBJECT_H
#define WLAN_UBUS_SERVICE_OBJECT_H

#include <libubus.h>

// The Wi-Fi service object: "wlan_object" on a host connection, "wlan_object_test" on a
// connection of the agent's own. Both have the type "wlan_object_type", whose method table
// joins the method groups of ubus/method_groups.h in their order. All three are in place once
// the library is loaded.
extern ubus_object_type wlan_object_type;
extern ubus_object wlan_object;
extern ubus_object wlan_object_test;

#endif
