#ifndef WLAN_TIME_H
#define WLAN_TIME_H

#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Writes a duration as HH:MM:SS (two digits each) into buf, which is first filled with size zero
// bytes; 100 hours or more read 99:59:59, a negative duration reads 00:00:00. The text is cut to
// size - 1 characters. Returns buf.
WLAN_EXPORT char* secToStandardTime(long seconds, char* buf, int size);

#ifdef __cplusplus
}
#endif

#endif
