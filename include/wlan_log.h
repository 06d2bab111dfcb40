#ifndef WLAN_LOG_H
#define WLAN_LOG_H

#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Formats into a 127-byte buffer and emits level 5 only, to the system log buffer at error
// priority with tag "WLAN". Levels 0 to 4 are formatted and dropped.
WLAN_EXPORT void __wlan_log(int level, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

#ifdef __cplusplus
}
#endif

#endif
