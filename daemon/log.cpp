#include "daemon/log.h"

#include <stdarg.h>
#include <stdio.h>

#include <atomic>

namespace wlanmgrd {
namespace {

std::atomic<bool> g_to_stderr{true};

const char* Level(int priority) {
    if (priority >= ANDROID_LOG_ERROR) return "error: ";
    if (priority == ANDROID_LOG_WARN) return "warning: ";
    return "";
}

}  // namespace

void LogToStderr(bool to_stderr) { g_to_stderr = to_stderr; }

void Log(int priority, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    if (g_to_stderr)
        fprintf(stderr, "wlanmgrd: %s%s\n", Level(priority), line);
    else
        __android_log_print(priority, "wlanmgrd", "%s", line);
}

}  // namespace wlanmgrd
