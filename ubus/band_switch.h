#ifndef WLAN_UBUS_BAND_SWITCH_H
#define WLAN_UBUS_BAND_SWITCH_H

#include <stdint.h>

// Switches the AP configuration to a band (wlan_mgr_band) and asks the platform to restart
// Wi-Fi; nothing happens when the configuration already has that band.
void change_wlan_band(int32_t band);

#endif
