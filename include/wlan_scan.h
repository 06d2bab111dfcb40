#ifndef WLAN_SCAN_H
#define WLAN_SCAN_H

#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Whether the radio's scan engine on the station interface is idle: 1 when
// `wlarm -i eth0 get_scan_status` answers 2 or 4, 0 for any other answer. A status that cannot
// be asked (level-5 message "wait_scan_idle: popen fail") or that the radio does not give (no
// output) counts as idle, so a caller waiting for the engine never waits on a radio that does
// not answer.
WLAN_EXPORT int wait_scan_idle(void);

#ifdef __cplusplus
}
#endif

#endif
