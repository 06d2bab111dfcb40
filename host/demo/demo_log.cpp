#include "host/demo/demo_log.h"

#include <android/log.h>
#include <stdio.h>
#include <string.h>

namespace {

void PrintRecord(const struct __android_logger_data* data, const char* message) {
    const char* tag = data->tag ? data->tag : "";
    if (strcmp(tag, "WLAN_-_user") == 0)
        printf("    [user log] %s\n", message);
    else if (data->buffer_id == 3)
        printf("    [system log] %s\n", message);
    else if (data->priority >= ANDROID_LOG_WARN)
        printf("    [error log] %s\n", message);
    fflush(stdout);
}

}  // namespace

void demo_log_install() {
    __android_log_set_minimum_priority(ANDROID_LOG_INFO);
    __android_log_set_logger(PrintRecord);
}
