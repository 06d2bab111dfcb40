#ifndef WLANMGRD_LOG_H
#define WLANMGRD_LOG_H

#include <android/log.h>

namespace wlanmgrd {

// Where the daemon's own lines go: standard error (foreground, and under procd, which passes it
// to the system log) or the platform log with tag "wlanmgrd".
void LogToStderr(bool to_stderr);

// One line at an Android priority (ANDROID_LOG_INFO, ANDROID_LOG_ERROR, ...).
void Log(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace wlanmgrd

#endif
