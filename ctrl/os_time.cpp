#include <errno.h>
#include <sys/time.h>
#include <time.h>

#include "wlan_os.h"

extern "C" WLAN_EXPORT void os_sleep(os_time_t sec, os_time_t usec) {
    if (sec < 0) sec = 0;
    if (usec < 0) usec = 0;
    struct timespec left;
    if (__builtin_add_overflow(sec, usec / 1000000, &left.tv_sec)) left.tv_sec = sec;
    left.tv_nsec = (usec % 1000000) * 1000;
    // The host's timers deliver signals to this process; a signal must not end the sleep early.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

extern "C" WLAN_EXPORT int os_get_time(struct os_time* t) {
    if (t == nullptr) return -1;
    struct timeval tv;
    const int res = gettimeofday(&tv, nullptr);
    t->sec = tv.tv_sec;
    t->usec = tv.tv_usec;
    return res;
}

extern "C" WLAN_EXPORT int os_mktime(int year, int month, int day, int hour, int min, int sec,
                                     time_t* t) {
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        min < 0 || min > 59 || sec < 0 || sec > 60)
        return -1;
    struct tm tm = {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = min;
    tm.tm_sec = sec;
    // Converted as UTC directly: going through local time and correcting by the UTC offset
    // is off by the daylight-saving hour near the changes, and is not thread-safe.
    const time_t result = timegm(&tm);
    if (result == static_cast<time_t>(-1)) return -1;  // beyond time_t; no valid input maps here
    if (t != nullptr) *t = result;
    return 0;
}

extern "C" WLAN_EXPORT int os_gmtime(os_time_t t, struct os_tm* tm) {
    if (tm == nullptr) return -1;
    const time_t when = static_cast<time_t>(t);
    struct tm broken;
    if (gmtime_r(&when, &broken) == nullptr) return -1;
    tm->sec = broken.tm_sec;
    tm->min = broken.tm_min;
    tm->hour = broken.tm_hour;
    tm->day = broken.tm_mday;
    tm->month = broken.tm_mon + 1;
    tm->year = broken.tm_year + 1900;
    return 0;
}
