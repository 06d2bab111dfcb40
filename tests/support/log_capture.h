#ifndef WLAN_TESTS_LOG_CAPTURE_H
#define WLAN_TESTS_LOG_CAPTURE_H

#include <string>
#include <vector>

// Captures every liblog record of the process through __android_log_set_logger.
namespace logcap {

struct Record {
    int buffer;    // log_id_t: 0 main, 3 system; -1 default
    int priority;  // 3 debug, 4 info, 5 warning, 6 error
    std::string tag;
    std::string text;
};

void Install();
void Clear();
std::vector<Record> Records();
// Messages of __wlan_log level 5: system buffer, error priority, tag "WLAN".
std::vector<std::string> Level5();
// User log lines: tag "WLAN_-_user".
std::vector<std::string> User();
// Error log lines: tag "WLAN" outside the system buffer.
std::vector<std::string> Errors();
// True when any captured text (any sink) contains the given text.
bool Contains(const std::string& text);
// True when any record with exactly this text exists in the list.
bool Has(const std::vector<std::string>& lines, const std::string& text);

}  // namespace logcap

#endif
