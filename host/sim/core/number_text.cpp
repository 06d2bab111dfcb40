#include "core/number_text.h"

#include <ctype.h>
#include <errno.h>
#include <stdlib.h>

namespace sim {

bool ParseNumber(const std::string& text, long* value) {
    if (text.empty() || isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    long parsed = strtol(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0') return false;
    // strtol stops at an embedded NUL; argv texts have none, but stay exact anyway.
    if (static_cast<size_t>(end - text.c_str()) != text.size()) return false;
    *value = parsed;
    return true;
}

bool ParseNumberInRange(const std::string& text, long min, long max, long* value) {
    long parsed = 0;
    if (!ParseNumber(text, &parsed) || parsed < min || parsed > max) return false;
    *value = parsed;
    return true;
}

}  // namespace sim
