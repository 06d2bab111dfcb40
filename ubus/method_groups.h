#ifndef WLAN_UBUS_METHOD_GROUPS_H
#define WLAN_UBUS_METHOD_GROUPS_H

// The service object's methods come in groups, each in a file of its own that holds the
// group's argument policies, its handlers and its rows of the method table:
//
//   methods_switch.cpp   switch, stations and WPS                  methods  0 to  7
//   methods_config.cpp   AP configuration                          methods  8 to  9
//   methods_region.cpp   region list, 5 GHz support, client MAC    methods 10 to 12
//   methods_power.cpp    power save; key, USB and system events    methods 13 to 14
//   methods_lte.cpp      LTE state report                          method  15
//   methods_station.cpp  station profiles and static IP settings   methods 16 to 17
//   methods_scan.cpp     scan results and the connected network    methods 18 to 19
//
// A method is added to its group's file: its policy (an enum of the fields and the array of
// blobmsg_policy it indexes), its handler (ubus/method_call.h), and one UBUS_METHOD row, or
// UBUS_METHOD_NOARG for a method without arguments, in the group's rows. The method table
// (method_table.cpp) joins the rows of the groups in the order above when the library is loaded.

extern "C" {
#include <libubox/blobmsg.h>
}
#include <libubus.h>

// The rows of one group, in table order. Defined in the group's file from a constant array,
// so it is in place before anything runs.
struct MethodGroup {
    const ubus_method* rows;
    int count;
};

#define WLAN_METHOD_GROUP(rows) \
    { (rows), static_cast<int>(ARRAY_SIZE(rows)) }

extern const MethodGroup switch_method_group;
extern const MethodGroup config_method_group;
extern const MethodGroup region_method_group;
extern const MethodGroup power_method_group;
extern const MethodGroup lte_method_group;
extern const MethodGroup station_method_group;
extern const MethodGroup scan_method_group;

// What the rest of the bus side takes from the groups.

// Set and cleared by the system event, read by the key and USB jobs (methods_power.cpp).
bool power_bank_on();

// Frees the station-mode static IP list when it exists; Deinit calls it (methods_station.cpp).
void static_ip_config_release();

#endif
