#ifndef WLAN_UTIL_JSON_STRING_H
#define WLAN_UTIL_JSON_STRING_H

#include <stddef.h>

// The most characters one byte of text takes inside a JSON string: a control character written
// as \u00XX.
constexpr size_t kJsonEscapedMax = 6;

// Writes at most count bytes of src (stopping at its end) into dst as the inside of a JSON
// string: '"' and '\' get a backslash, control characters their short escape (\b \f \n \r \t)
// or \u00XX, every other byte is copied as it is, so an ordinary text comes out unchanged.
// size bytes of room; dst is always terminated and never ends inside an escape. A null src
// writes an empty text. Returns the length written.
size_t json_escape(char* dst, size_t size, const char* src, size_t count);

#endif
