#ifndef WLAN_UTIL_LOG_H
#define WLAN_UTIL_LOG_H

#include "include/wlan_log.h"

// Android log priorities used by the library.
enum WlanLogPriority {
    WLAN_PRIO_DEBUG = 3,
    WLAN_PRIO_INFO = 4,
    WLAN_PRIO_WARN = 5,
    WLAN_PRIO_ERROR = 6,
};

// Error log: failures and diagnostics, tag "WLAN", default buffer.
void wlan_errlog(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));
// User log: main buffer (id 0), tag "WLAN_-_user".
void wlan_userlog(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));
// System log: system buffer (id 3), tag "WLAN", error priority.
void wlan_syslog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Level-3 entry and exit traces: "<name> <line>:" and "<name> <line>: LEAVE".
#define WLAN_TRACE_ENTER(name) __wlan_log(3, "%s %d:", (name), __LINE__)
#define WLAN_TRACE_LEAVE(name) __wlan_log(3, "%s %d: LEAVE", (name), __LINE__)

#endif
