#ifndef WLAN_RADIO_H
#define WLAN_RADIO_H

#include "wlan_config.h"
#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Writes the access-point radio script for bss to path and adds the owner and group execute
// bits. The script expects the wl command as $1 and the AP MAC as $2. Returns 0 when the script
// was written and made executable, -1 otherwise (a level-5 message says why). An SSID or
// passphrase whose escaped form needs more than 127 characters fails the generation before
// the file is touched.
WLAN_EXPORT int wlan_mgr_conf_to_wl_sh(const wlan_mgr_bss_config* bss, const char* path);

// Same for access point plus station operation: $1 the wl command, $2 the AP MAC, $3 the
// station MAC; the script ends by starting wpa_supplicant on eth0.
WLAN_EXPORT int wlan_mgr_apsta_conf_to_wl_sh(const wlan_mgr_bss_config* bss, const char* path);

// Copies src into dst, replacing every occurrence of from by to (matches do not overlap).
// dst must have room for the result; nothing bounds it here. Returns dst, or null (after a
// level-5 message, with nothing written) when an argument is null.
WLAN_EXPORT char* strrpl(char* dst, const char* src, const char* from, const char* to);

// Writes the MAC filter script for bss to path and adds the owner and group execute bits.
// The script expects the wl command as $1. Entries whose MAC is not six two-digit hexadecimal
// groups joined by colons are left out with a level-5 message. Returns 0 or -1.
WLAN_EXPORT int wlan_mgr_mac_fliter_to_wl_sh(const wlan_mgr_bss_config* bss, const char* path);

#ifdef __cplusplus
}
#endif

#endif
