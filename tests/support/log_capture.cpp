#include "tests/support/log_capture.h"

#include <android/log.h>

#include <mutex>

namespace logcap {
namespace {

std::mutex& Lock() {
    static std::mutex m;
    return m;
}
std::vector<Record>& Store() {
    static std::vector<Record> records;
    return records;
}

void Logger(const struct __android_logger_data* data, const char* message) {
    std::lock_guard<std::mutex> guard(Lock());
    Store().push_back(Record{data->buffer_id, data->priority, data->tag ? data->tag : "",
                             message ? message : ""});
}

}  // namespace

void Install() {
    __android_log_set_minimum_priority(ANDROID_LOG_VERBOSE);
    __android_log_set_logger(Logger);
}

void Clear() {
    std::lock_guard<std::mutex> guard(Lock());
    Store().clear();
}

std::vector<Record> Records() {
    std::lock_guard<std::mutex> guard(Lock());
    return Store();
}

std::vector<std::string> Level5() {
    std::vector<std::string> out;
    for (const Record& r : Records())
        if (r.buffer == kSystem && r.priority == ANDROID_LOG_ERROR && r.tag == "WLAN")
            out.push_back(r.text);
    return out;
}

std::vector<std::string> User() {
    std::vector<std::string> out;
    for (const Record& r : Records())
        if (r.tag == "WLAN_-_user") out.push_back(r.text);
    return out;
}

std::vector<std::string> Errors() {
    std::vector<std::string> out;
    for (const Record& r : Records())
        if (r.tag == "WLAN" && r.buffer != kSystem) out.push_back(r.text);
    return out;
}

bool Contains(const std::string& text) {
    for (const Record& r : Records())
        if (r.text.find(text) != std::string::npos) return true;
    return false;
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines)
        if (line == text) return true;
    return false;
}

}  // namespace logcap
