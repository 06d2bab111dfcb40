#include "tests/support/log_capture.h"

#include <android/log.h>

#include <algorithm>
#include <functional>
#include <mutex>

namespace logcap {
namespace {

constexpr int kSystem = 3;
std::mutex g_mutex;
std::vector<Record> g_records;

void Logger(const struct __android_logger_data* data, const char* message) {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_records.push_back(Record{data->buffer_id, data->priority, data->tag ? data->tag : "",
                               message ? message : ""});
}

std::vector<std::string> Texts(const std::function<bool(const Record&)>& wanted) {
    std::vector<std::string> out;
    for (const Record& r : Records())
        if (wanted(r)) out.push_back(r.text);
    return out;
}

}  // namespace

void Install() {
    __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
    __android_log_set_logger(Logger);
}

void Clear() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_records.clear();
}

std::vector<Record> Records() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_records;
}

std::vector<std::string> Level5() {
    return Texts([](const Record& r) {
        return r.buffer == kSystem && r.priority == ANDROID_LOG_ERROR && r.tag == "WLAN";
    });
}

std::vector<std::string> User() {
    return Texts([](const Record& r) { return r.tag == "WLAN_-_user"; });
}

std::vector<std::string> Errors() {
    return Texts([](const Record& r) { return r.tag == "WLAN" && r.buffer != kSystem; });
}

bool Contains(const std::string& text) {
    return !Texts([&](const Record& r) { return r.text.find(text) != std::string::npos; }).empty();
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

}  // namespace logcap
