#ifndef WLAN_OS_H
#define WLAN_OS_H

#include <stddef.h>
#include <time.h>

#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Small operating-system layer that goes with the control-interface client (wpa_ctrl.h).

typedef long os_time_t;

struct os_time {
    os_time_t sec;
    os_time_t usec;
};

// Broken-down UTC time: month 1-12, full year.
struct os_tm {
    int sec;
    int min;
    int hour;
    int day;
    int month;
    int year;
};

// Sleeps sec seconds and then usec microseconds; a signal does not cut the sleep short.
WLAN_EXPORT void os_sleep(os_time_t sec, os_time_t usec);

// Wall-clock time of day; returns the system call's result (0 or -1).
WLAN_EXPORT int os_get_time(struct os_time* t);

// Seconds since the epoch of the given UTC time. -1 unless year >= 1970, month 1-12,
// day 1-31, hour 0-23, min 0-59 and sec 0-60; otherwise 0.
WLAN_EXPORT int os_mktime(int year, int month, int day, int hour, int min, int sec, time_t* t);

// UTC broken-down time of t; -1 when it cannot be converted.
WLAN_EXPORT int os_gmtime(os_time_t t, struct os_tm* tm);

// Detaches into the background (working directory "/", standard streams on /dev/null) and
// writes the process id as "%u\n" to pid_file when one is given. A relative pid_file is taken
// relative to the working directory at the call. -1 when detaching failed.
WLAN_EXPORT int os_daemonize(const char* pid_file);

// Removes the PID file if one is given.
WLAN_EXPORT void os_daemonize_terminate(const char* pid_file);

// Fills buf with len bytes from "/dev/urandom"; -1 when it cannot be opened or gives fewer.
WLAN_EXPORT int os_get_random(unsigned char* buf, size_t len);

// The result of random().
WLAN_EXPORT unsigned long os_random(void);

// Newly allocated absolute form of rel_path (free() it); null on failure.
WLAN_EXPORT char* os_rel2abs_path(const char* rel_path);

// Nothing to set up or tear down on this system; os_program_init returns 0.
WLAN_EXPORT int os_program_init(void);
WLAN_EXPORT void os_program_deinit(void);

WLAN_EXPORT int os_setenv(const char* name, const char* value, int overwrite);
WLAN_EXPORT int os_unsetenv(const char* name);

// Newly allocated buffer (free() it) with the whole file, byte for byte, its length stored
// through len. One byte past the end is a terminating zero that len does not count, so a text
// file can be used as a string. Null on any failure.
WLAN_EXPORT char* os_readfile(const char* name, size_t* len);

// Zero-filled allocation (free() it).
WLAN_EXPORT void* os_zalloc(size_t size);

// Copies at most size - 1 characters of src and terminates when size is non-zero; returns the
// length of src, so a result >= size means the copy was cut.
WLAN_EXPORT size_t os_strlcpy(char* dest, const char* src, size_t size);

#ifdef __cplusplus
}
#endif

#endif
