#include "util/text.h"

#include <ctype.h>
#include <string.h>

bool copy_text_n(char* dst, size_t size, const char* src, size_t count) {
    if (dst == nullptr || size == 0) return false;
    if (src == nullptr) src = "";
    size_t len = strnlen(src, count);
    bool fits = len < size;
    if (!fits) len = size - 1;
    memcpy(dst, src, len);
    dst[len] = '\0';
    return fits;
}

bool copy_text(char* dst, size_t size, const char* src) {
    return copy_text_n(dst, size, src, static_cast<size_t>(-1));
}

bool is_mac_text(const char* text) {
    if (text == nullptr || strlen(text) != 17) return false;
    for (int i = 0; i < 17; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (i % 3 == 2) {
            if (c != ':') return false;
        } else if (!isxdigit(c)) {
            return false;
        }
    }
    return true;
}

bool is_country_code(const char* text) {
    if (text == nullptr || strlen(text) != 2) return false;
    for (int i = 0; i < 2; ++i) {
        char c = text[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool has_line_break(const char* text) {
    return text != nullptr && strpbrk(text, "\r\n") != nullptr;
}

bool read_file_line(FILE* file, char* buffer, size_t size) {
    if (fgets(buffer, static_cast<int>(size), file) == nullptr) return false;
    const size_t len = strlen(buffer);
    if (len > 0 && buffer[len - 1] == '\n') {
        buffer[len - 1] = '\0';
        return true;
    }
    // Over-long line (or the last one, without its newline): drop the rest of it.
    int c;
    while ((c = fgetc(file)) != EOF && c != '\n') {
    }
    return true;
}
