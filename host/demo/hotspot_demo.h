#ifndef WLAN_DEMO_HOTSPOT_DEMO_H
#define WLAN_DEMO_HOTSPOT_DEMO_H

// Runs the simulated hotspot from the configuration in /etc/hostapd.conf: a reference host
// brings the AP up, a phone joins and leaves, a WPS push-button session lets a laptop in, and
// the AP is stopped. Narrates each step with the broadcast events and the station list.
// Returns 0 when every step went as expected.
int run_hotspot_demo();

#endif
