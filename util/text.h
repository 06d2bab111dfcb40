#ifndef WLAN_UTIL_TEXT_H
#define WLAN_UTIL_TEXT_H

#include <stddef.h>
#include <stdio.h>

// Copies src into dst (size bytes of room), always terminated. Returns true when the whole text
// fit, false when it was cut. A null src copies an empty text.
bool copy_text(char* dst, size_t size, const char* src);

// Copies at most count characters of src (stopping at its end), bounded and terminated like
// copy_text. Returns true when those characters fit.
bool copy_text_n(char* dst, size_t size, const char* src, size_t count);

template <size_t N>
inline bool copy_text(char (&dst)[N], const char* src) {
    return copy_text(dst, N, src);
}

// True for a MAC address text: six two-digit hexadecimal groups joined by colons, nothing else.
bool is_mac_text(const char* text);

// Reads one line of a file into buffer (size bytes) without its newline. A longer line is read
// to its end and cut, so that the following lines keep their places. False at the end of the
// file.
bool read_file_line(FILE* file, char* buffer, size_t size);

// True when the text holds a CR or LF, which would break a line-based file.
bool has_line_break(const char* text);

// True for a country code as the radio's country command takes it: two ASCII letters or
// digits, nothing else.
bool is_country_code(const char* text);

#endif
