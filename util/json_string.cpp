#include "util/json_string.h"

#include <stdio.h>
#include <string.h>

size_t json_escape(char* dst, size_t size, const char* src, size_t count) {
    if (size == 0) return 0;
    size_t out = 0;
    for (size_t i = 0; src != nullptr && i < count && src[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(src[i]);
        char piece[kJsonEscapedMax + 1];
        size_t length = 2;
        piece[0] = '\\';
        switch (c) {
            case '"':
                piece[1] = '"';
                break;
            case '\\':
                piece[1] = '\\';
                break;
            case '\b':
                piece[1] = 'b';
                break;
            case '\f':
                piece[1] = 'f';
                break;
            case '\n':
                piece[1] = 'n';
                break;
            case '\r':
                piece[1] = 'r';
                break;
            case '\t':
                piece[1] = 't';
                break;
            default:
                if (c < 0x20) {
                    snprintf(piece, sizeof(piece), "\\u%04x", c);
                    length = kJsonEscapedMax;
                } else {
                    piece[0] = static_cast<char>(c);
                    length = 1;
                }
        }
        if (out + length >= size) break;
        memcpy(dst + out, piece, length);
        out += length;
    }
    dst[out] = '\0';
    return out;
}
