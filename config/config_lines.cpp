#include "config/config_lines.h"

#include <string.h>

#include "util/log.h"
#include "util/text.h"

bool ConfigLineReader::Next() {
    if (file_ == nullptr || fgets(buffer_, sizeof(buffer_), file_) == nullptr) return false;
    ++line_;
    char* newline = strchr(buffer_, '\n');
    if (newline != nullptr) *newline = '\0';
    return true;
}

void store_config_text(char* field, size_t size, const char* value, int line, const char* key) {
    if (!copy_text(field, size, value))
        WLAN_LOG5("Line %d: value of %s cut to %d characters", line, key,
                  static_cast<int>(size - 1));
}
