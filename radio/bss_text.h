#ifndef WLAN_RADIO_BSS_TEXT_H
#define WLAN_RADIO_BSS_TEXT_H

#include <string.h>

#include <string>

// The text held in a fixed-size record field, read no further than the field even when it
// lacks its terminator.
template <size_t N>
inline std::string bss_text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

#endif
