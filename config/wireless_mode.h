#ifndef WLAN_CONFIG_WIRELESS_MODE_H
#define WLAN_CONFIG_WIRELESS_MODE_H

#include "wlan_config.h"

// The configuration file carries the wireless mode in its own code, spread over the keys wmode,
// ieee80211n and require_ht; the record carries the internal code in wmode and the band in
// band_type. These two conversions are the only place where the codes meet.

// File code to internal code and band, after a read. Also moves a Japanese channel 14 to 11bg.
void wireless_mode_file_to_internal(wlan_mgr_bss_config* bss);

// Internal code to file code in wmode, ieee80211n and require_ht, before a write. Internal codes
// outside 1..7 leave the three fields as they are.
void wireless_mode_internal_to_file(wlan_mgr_bss_config* bss);

#endif
