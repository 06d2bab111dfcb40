#ifndef WLAN_AGENT_SPY_STATE_H
#define WLAN_AGENT_SPY_STATE_H

#include <stddef.h>
#include <stdint.h>

#include <functional>

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

// Runs spy_cmd and hands the MAC of every output line (empty when the line has none) to visit,
// which returns false to stop reading. Returns the number of lines read, or -1 when the command
// could not be started.
int for_each_spy_line(const std::function<bool(const char* mac)>& visit);

class StaList;
// Adds the station of every output line of spy_cmd to the list (the list ignores a MAC it
// already holds). Returns the number of lines read, or -1 when the command could not start.
int add_spy_stations(StaList* list);

#endif
