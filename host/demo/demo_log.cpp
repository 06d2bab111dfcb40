#include "host/demo/demo_log.h"

#include <android/log.h>
#include <string.h>

#include <atomic>

namespace {

std::atomic<FILE*> g_out{nullptr};

void PrintRecord(const struct __android_logger_data* data, const char* message) {
    FILE* out = g_out.load();
    if (out == nullptr) out = stdout;
    const char* tag = data->tag ? data->tag : "";
    if (strcmp(tag, "WLAN_-_user") == 0)
        fprintf(out, "    [user log] %s\n", message);
    else if (data->buffer_id == 3)
        fprintf(out, "    [system log] %s\n", message);
    else if (data->priority >= ANDROID_LOG_WARN)
        fprintf(out, "    [error log] %s\n", message);
    fflush(out);
}

}  // namespace

void demo_log_install() {
    __android_log_set_minimum_priority(ANDROID_LOG_INFO);
    __android_log_set_logger(PrintRecord);
}

void demo_log_set_output(FILE* out) { g_out.store(out); }
