#ifndef WLAN_RADIO_SCRIPT_ESCAPE_H
#define WLAN_RADIO_SCRIPT_ESCAPE_H

#include <stddef.h>

// Room of an escaped SSID or passphrase in a radio script, terminator included.
constexpr size_t kEscapedTextSize = 128;

// Escapes text for a place between double quotes in an sh script, so that sh passes it on
// literally: a backslash becomes two, then a backslash goes before each double quote, each
// backquote and each dollar sign. Returns false, leaving out empty, when the escaped form does
// not fit in kEscapedTextSize bytes; a text is never cut in the middle of an escape sequence.
bool escape_script_text(const char* text, char (&out)[kEscapedTextSize]);

#endif
