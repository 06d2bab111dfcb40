#ifndef WLAN_AGENT_SPY_STATE_H
#define WLAN_AGENT_SPY_STATE_H

#include <stddef.h>
#include <stdint.h>

#include <functional>

// How the associated stations are listed: the command line ("wlarm autho_sta_list" on a secured
// network, "wlarm assoclist" on an open one) and the length of the keyword that starts each of
// its output lines (14 and 9); the MAC address starts one character after the keyword. The radio
// start chooses both while other threads list stations, so they are published and read as one
// value: a pass over the list takes one snapshot and uses it throughout. Empty until the radio
// has started once.
struct SpyCommand {
    char spy_cmd[64];
    int32_t spy_mac_offset;
};

// Replaces the published command and offset together.
void publish_spy_command(const char* command, int32_t mac_offset);
// A consistent copy of the published command and offset.
SpyCommand spy_command_snapshot();

// Room for one output line of the command.
constexpr size_t kSpyLineSize = 100;

// Copies the MAC address text of one output line of the command into mac: at most 17 characters
// from position mac_offset + 1, cut at the end of the line. A line too short to reach that
// position gives an empty text.
void spy_line_mac(int32_t mac_offset, const char* line, char* mac, size_t size);

// Runs the command (directly, without a shell, as its text is plain words) and hands the MAC of
// every output line (empty when the line has none) to visit, which returns false to stop reading.
// Returns the number of lines read, or -1 when the command could not be started.
int for_each_spy_line(const SpyCommand& spy, const std::function<bool(const char* mac)>& visit);

class StaList;
// Adds the station of every output line of the command to the list (the list ignores a MAC it
// already holds). Returns the number of lines read, or -1 when the command could not start.
int add_spy_stations(const SpyCommand& spy, StaList* list);

#endif
