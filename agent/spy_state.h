#ifndef WLAN_AGENT_SPY_STATE_H
#define WLAN_AGENT_SPY_STATE_H

#include <stddef.h>
#include <stdint.h>

// How the associated stations are listed. The radio start chooses the command when it brings
// the AP up: "wlarm autho_sta_list" (keyword length 14) on a secured network, "wlarm assoclist"
// (keyword length 9) on an open one. Empty until the radio has started once.
extern char spy_cmd[64];
// Length of the keyword that starts each output line of spy_cmd; the MAC address starts one
// character after it.
extern int32_t spy_mac_offset;

// Room for one output line of spy_cmd.
constexpr size_t kSpyLineSize = 100;

// Copies the MAC address text of one output line of spy_cmd into mac: at most 17 characters from
// position spy_mac_offset + 1, cut at the end of the line. A line too short to reach that
// position gives an empty text.
void spy_line_mac(const char* line, char* mac, size_t size);

#endif
