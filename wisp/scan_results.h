#ifndef WLAN_WISP_SCAN_RESULTS_H
#define WLAN_WISP_SCAN_RESULTS_H

// The radio's scan and connection reports as the station side reads them.
//
// A report is text that `wlarm escanresults` (or `connectedinfo`) writes. A scan report starts
// with the number of access points; each access point then takes six lines: SSID, signal
// quality, a number that is not used, the WPA text, the security class and a closing line.

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

// One access point of a scan.
struct scan_ap_entry {
    char ssid[36];
    int32_t security;  // sec_type code, 0..7
    int32_t signal;    // level 0..4
};

// The size of the text of the scan reply, its terminator included.
constexpr size_t kScanListTextSize = 4096;

// Longest report line kept; the rest of a longer line is dropped.
constexpr size_t kScanLineSize = 128;

// The level 0..4 of a signal quality value.
int32_t scan_signal_level(long quality);

// The sec_type code of an access point from its WPA text and its security class text. A pair
// that no rule recognises is taken for WPA2 with AES (5): the network is not declared open, so
// the user is asked for a key.
int32_t scan_security_code(const char* wpa_text, const char* class_text);

// Reads the access point blocks that follow the count line into records (room for capacity).
// A block with the SSID and security code of a record already read only raises that record's
// level; a block cut short by the end of the file is dropped, and so are new access points
// beyond capacity. Returns the number of records filled.
size_t scan_parse_blocks(FILE* file, scan_ap_entry* records, size_t capacity);

// Orders the records by level, highest first, by exchange: each position is compared with every
// later one and swapped with any that has a higher level.
void scan_sort_by_signal(scan_ap_entry* records, size_t count);

// Writes {"apList":[...]} into text (kScanListTextSize bytes): one item per record with an SSID,
// in order; hidden networks (empty SSID) write none. An item that does not fit is left out
// whole, so the text is always complete JSON.
void scan_list_text(const scan_ap_entry* records, size_t count, char* text);

// The connected network from a connection report: the first line is skipped, the next five are
// the first five lines of a block. The SSID has every doubled backslash made single. Without
// such lines the result is an empty SSID with codes 0.
struct scan_connected_info {
    char ssid[kScanLineSize];
    int32_t security;
    int32_t signal;
};
void scan_parse_connected(FILE* file, scan_connected_info* info);

#endif
