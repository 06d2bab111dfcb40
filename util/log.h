#ifndef WLAN_UTIL_LOG_H
#define WLAN_UTIL_LOG_H

// The library's one way into logging. Code outside util/ logs only through what this header
// declares, never through the platform log library itself.
//
// Four sinks on the platform log library:
//   error log    wlan_errlog(priority, ...)  tag "WLAN", the default buffer, the given priority:
//                                           failures and diagnostics;
//   user log     wlan_userlog(priority, ...) the main buffer (id 0), tag "WLAN_-_user": what a
//                                           user of the device would want to see;
//   system log   wlan_syslog(...)            the system buffer (id 3), tag "WLAN", priority error;
//   __wlan_log   levels 0 to 5, of which only 5 is emitted (WLAN_LOG5): the system buffer,
//                priority error, tag "WLAN", at most 126 characters. Level 3 is the trace
//                (WLAN_TRACE), level 2 the minor warning (WLAN_MINOR_WARNING); neither is ever
//                emitted, so both compile to nothing, while the compiler still checks their
//                format against their arguments (which are not evaluated).
// The error, user and system logs keep at most 1023 characters of a message.

#include "include/wlan_log.h"

// Platform log priorities used by the library.
enum WlanLogPriority {
    WLAN_PRIO_DEBUG = 3,
    WLAN_PRIO_INFO = 4,
    WLAN_PRIO_WARN = 5,
    WLAN_PRIO_ERROR = 6,
};

void wlan_errlog(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));
void wlan_userlog(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));
void wlan_syslog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The emitted __wlan_log level.
#define WLAN_LOG5(...) __wlan_log(5, __VA_ARGS__)

// A __wlan_log level that is never emitted: checked by the compiler, then left out.
#define WLAN_LOG_NOT_EMITTED(level, ...)             \
    do {                                             \
        if (false) __wlan_log((level), __VA_ARGS__); \
    } while (false)

#define WLAN_TRACE(...) WLAN_LOG_NOT_EMITTED(3, __VA_ARGS__)
#define WLAN_MINOR_WARNING(...) WLAN_LOG_NOT_EMITTED(2, __VA_ARGS__)

// Entry and exit traces: "<name> <line>:" and "<name> <line>: LEAVE".
#define WLAN_TRACE_ENTER(name) WLAN_TRACE("%s %d:", (name), __LINE__)
#define WLAN_TRACE_LEAVE(name) WLAN_TRACE("%s %d: LEAVE", (name), __LINE__)

#endif
