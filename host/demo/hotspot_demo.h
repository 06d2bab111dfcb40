#ifndef WLAN_DEMO_HOTSPOT_DEMO_H
#define WLAN_DEMO_HOTSPOT_DEMO_H

#include <string>

// Runs the simulated hotspot from the configuration in /etc/hostapd.conf: a reference host
// brings the AP up, a phone joins and leaves, a WPS push-button session lets a laptop in, and
// the AP is stopped. Narrates each step with the broadcast events and the station list.
// Returns 0 when every step went as expected.
int run_hotspot_demo();

// Brings the simulated AP up with one phone associated, makes one call of the service object as
// the web interface would, prints it with its reply, and stops. Returns the call's status.
int run_method_call(const std::string& method, const std::string& json);

#endif
