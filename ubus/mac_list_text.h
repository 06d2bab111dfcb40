#ifndef WLAN_UBUS_MAC_LIST_TEXT_H
#define WLAN_UBUS_MAC_LIST_TEXT_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "wlan_config.h"

// The MAC filter list as the configuration methods carry it in one text field: the entries
// follow each other without separators, each written as "<MAC>#DES_LEN:<n>#<description>#"
// with the 17-character MAC text, the description's length n in decimal and the description
// itself. The explicit length lets a description contain "#".

// The text of count entries (an empty text for none). Fields are read no further than their
// capacity.
std::string mac_list_text(const wlan_mgr_mac_entry* list, int32_t count);

// Parses a text of len bytes into entries (zero-filled, then filled). The MAC texts are taken
// unchanged. Returns null when the whole text is well formed, otherwise what is wrong with it,
// and entries then holds what was parsed before. Refused: an entry shorter than its fixed part,
// a MAC that is not six two-digit hexadecimal groups joined by colons, a length that is missing
// its "#", has characters other than digits or exceeds 32, a description that runs past the end
// of the text, holds a CR or LF or is not closed by "#".
const char* parse_mac_list_text(const char* text, size_t len,
                                std::vector<wlan_mgr_mac_entry>* entries);

#endif
