#ifndef WLAN_DEMO_HOTSPOT_DEMO_H
#define WLAN_DEMO_HOTSPOT_DEMO_H

#include <string>

// Runs the simulated hotspot from the configuration in /etc/hostapd.conf: the device starts the
// bus daemon and wlanmgrd, which brings the AP up; a phone joins and leaves, a WPS push-button
// session lets a laptop in, the web interface tours the methods, and the service manager stops
// wlanmgrd. Narrates each step with the broadcast events, the daemon's log and the station list.
// Returns 0 when every step went as expected.
int run_hotspot_demo();

// Starts wlanmgrd on the simulated device with one phone associated, makes one call of the
// service object as the web interface would, prints it with its reply, and stops it. Returns the
// call's status.
int run_method_call(const std::string& method, const std::string& json);

#endif
