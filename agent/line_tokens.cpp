#include "agent/line_tokens.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "util/text.h"

namespace {
constexpr const char* kSeparators = " \t\n";
}

bool read_bounded_line(FILE* file, char* buffer, size_t size) {
    if (file == nullptr || buffer == nullptr || size == 0) return false;
    size_t length = 0;
    int c;
    bool any = false;
    while ((c = getc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length + 1 < size) buffer[length++] = static_cast<char>(c);
    }
    buffer[length] = '\0';
    return any;
}

TokenReader::Result TokenReader::Next(char* buffer, size_t size) {
    rest_ += strspn(rest_, kSeparators);
    if (*rest_ == '\0') return kNone;
    size_t length = strcspn(rest_, kSeparators);
    bool fits = copy_text_n(buffer, size, rest_, length);
    rest_ += length;
    return fits ? kToken : kTooLong;
}

bool parse_hex_token(const char* token, long* value) {
    if (token == nullptr || *token == '\0') return false;
    char* end = nullptr;
    errno = 0;
    long parsed = strtol(token, &end, 16);
    if (end == token || *end != '\0' || errno == ERANGE) return false;
    *value = parsed;
    return true;
}
