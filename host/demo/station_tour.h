#ifndef WLAN_DEMO_STATION_TOUR_H
#define WLAN_DEMO_STATION_TOUR_H

#include <stdio.h>

// Station mode as the web interface drives it, on a running AP: the networks in range, joining
// one of them with a static address, the files the library writes for the supplicant, the
// running supplicant, the connected network and the static IP settings handed to the platform.
// Calls are printed as method_tour prints them.
namespace station_tour {

// Runs the tour; the simulator's supplicant stands in for wpa_supplicant and is stopped at the
// end. Returns whether every step went as expected.
bool Run(FILE* out);

}  // namespace station_tour

#endif
