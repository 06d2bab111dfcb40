#ifndef WLAN_AGENT_STA_SOURCES_H
#define WLAN_AGENT_STA_SOURCES_H

#include <stddef.h>

// Where the station details come from: the DHCP leases written by dnsmasq and the kernel's
// ARP table. The parsers take one line of each; tokens are cut to their buffers.

constexpr size_t kLeaseLineSize = 256;
constexpr size_t kArpLineSize = 512;

enum class SourceLine {
    kEntry,      // all tokens present and usable
    kMalformed,  // a token is missing or a number does not convert: the pass stops here
    kUnusable,   // the MAC or IP token is longer than its buffer: the line is skipped
};

// "expiry MAC IP hostname client-id"
struct LeaseEntry {
    char expiry[32];
    char mac[20];
    char ip[16];
    char host_name[68];
    char client_id[32];
};
SourceLine parse_lease_line(const char* line, LeaseEntry* entry);

// "IP HW-type Flags HW-address Mask Device", HW type and Flags in hexadecimal.
struct ArpEntry {
    char ip[16];
    long hw_type;
    long flags;
    char hw_address[20];
    char mask[32];
    char device[32];
    bool device_usable;  // the device token fit and holds only interface-name characters
};
SourceLine parse_arp_line(const char* line, ArpEntry* entry);

// True for a network interface name: 1 to 15 letters, digits and ". _ - :".
bool is_ifname_text(const char* text);

#endif
