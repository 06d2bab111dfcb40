#include "util/log.h"

#include <android/log.h>
#include <stdarg.h>
#include <stdio.h>

namespace {

constexpr const char* kTag = "WLAN";
constexpr const char* kUserTag = "WLAN_-_user";
constexpr int kMainBuffer = 0;
constexpr int kSystemBuffer = 3;
constexpr size_t kMessageSize = 1024;

void vformat(char* buf, size_t size, const char* format, va_list ap) {
    int n = vsnprintf(buf, size, format, ap);
    if (n < 0) buf[0] = '\0';
}

}  // namespace

extern "C" WLAN_EXPORT void __wlan_log(int level, const char* format, ...) {
    char buf[127];
    va_list ap;
    va_start(ap, format);
    vformat(buf, sizeof(buf), format, ap);
    va_end(ap);
    if (level != 5) return;
    __android_log_buf_print(kSystemBuffer, WLAN_PRIO_ERROR, kTag, "%s", buf);
}

void wlan_errlog(int priority, const char* format, ...) {
    char buf[kMessageSize];
    va_list ap;
    va_start(ap, format);
    vformat(buf, sizeof(buf), format, ap);
    va_end(ap);
    __android_log_print(priority, kTag, "%s", buf);
}

void wlan_userlog(int priority, const char* format, ...) {
    char buf[kMessageSize];
    va_list ap;
    va_start(ap, format);
    vformat(buf, sizeof(buf), format, ap);
    va_end(ap);
    __android_log_buf_print(kMainBuffer, priority, kUserTag, "%s", buf);
}

void wlan_syslog(const char* format, ...) {
    char buf[kMessageSize];
    va_list ap;
    va_start(ap, format);
    vformat(buf, sizeof(buf), format, ap);
    va_end(ap);
    __android_log_buf_print(kSystemBuffer, WLAN_PRIO_ERROR, kTag, "%s", buf);
}
