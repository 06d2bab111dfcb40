#ifndef WLAN_WARN_H
#define WLAN_WARN_H

#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// The Wi-Fi security warning: whether the feature is on (uci option product.wlanwarn.launch,
// as a decimal number), and the AP's security status for it.

// The option's value, or -1 when uci cannot be used or the option does not exist. Callers treat
// every non-zero value as on.
WLAN_EXPORT int getWlanwarnLaunch(void);
// Stores the status (0 open, 1 TKIP, 2 CCMP TKIP, 3 CCMP) in
// wlanwarn-storage.wlanwarn.wlan_status and commits it. 0, or -1 when a step fails.
WLAN_EXPORT int uci_set_wlan_sec_status(int status);

#ifdef __cplusplus
}
#endif

#endif
