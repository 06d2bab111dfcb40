#ifndef WLAN_WISP_STATIC_IP_CONFIG_H
#define WLAN_WISP_STATIC_IP_CONFIG_H

// The static IP settings of station mode: a fixed address on an upstream network, kept per
// upstream SSID in a process-wide list (StaticIpConfig) and stored in the binary file
// /etc/config/wisp_static_ip_conf.
//
// The file, native little-endian as the device writes it: a 32-byte head whose first 4 bytes
// are the int32 item count of the list when it was saved (items not written included); then
// items of 120 bytes up to the end of the file, in list order:
//
//   offset  size  field
//        0    33  ssid     up to 32 characters, zero-terminated
//       33    16  ip       dotted-decimal text, up to 15 characters, zero-terminated
//       49    16  submask
//       65    16  gateway
//       81    16  dns1
//       97    16  dns2
//      113     7  reserved (written as zeros, ignored when read)
//
// A reader ignores the whole head and the reserved bytes. An item whose ip is "0.0.0.0" stays
// in the list but is not written.
//
// Locks: the list's presence is guarded by a lock of its own, taken first by every operation
// below; the list lock (StaticIpConfig::lock) guards the count and the items inside it. Callers
// that hold UbusAssistant::wlan_conf_lock take these after it, never the other way round.

#include <pthread.h>
#include <stddef.h>
#include <stdint.h>

constexpr size_t kStaticIpSsidSize = 33;
constexpr size_t kStaticIpAddrSize = 16;
constexpr size_t kStaticIpFileHeadSize = 32;
constexpr size_t kStaticIpFileItemSize = 120;

struct StaticIpConfigItem {
    char ssid[kStaticIpSsidSize];
    char ip[kStaticIpAddrSize];
    char submask[kStaticIpAddrSize];
    char gateway[kStaticIpAddrSize];
    char dns1[kStaticIpAddrSize];
    char dns2[kStaticIpAddrSize];
    StaticIpConfigItem* next;
};

struct StaticIpConfig {
    int32_t count;
    StaticIpConfigItem* first;
    pthread_mutex_t lock;
};

// The settings of one upstream network as a station profile holds them; null reads as "".
struct StaticIpSettings {
    const char* ssid;
    const char* ip;
    const char* submask;
    const char* gateway;
    const char* dns1;
    const char* dns2;
};

// The five values of an item, terminated.
struct StaticIpValues {
    char ip[kStaticIpAddrSize];
    char submask[kStaticIpAddrSize];
    char gateway[kStaticIpAddrSize];
    char dns1[kStaticIpAddrSize];
    char dns2[kStaticIpAddrSize];
};

// True for an empty text or a dotted-quad IPv4 address (four decimal numbers 0 to 255 of one
// to three digits, joined by dots, nothing else): the values a static IP field may take.
bool is_static_ip_value(const char* text);

// Creates the list when it is absent and, the first time in the process that this succeeds,
// fills it from the file (items in reverse file order).
void static_ip_config_load();

// Records the network's settings (an empty SSID records nothing) and rewrites the file
// atomically: a failed write keeps the old file and leaves the list as it was. Settings that cannot
// be stored (an SSID over 32 characters, a value that is neither empty nor dotted-quad IPv4) change
// nothing. Returns false when nothing was recorded or the file was not replaced; a missing list is
// logged.
bool static_ip_config_save(const StaticIpSettings& settings);

// Runs fn(values, found, context) under the list lock with the SSID's values ("0.0.0.0" for
// each when it is not in the list). False, without calling fn, when there is no list.
bool static_ip_config_with(const char* ssid,
                           void (*fn)(const StaticIpValues& values, bool found, void* context),
                           void* context);

// Frees every item and the list; a later load starts again from the file (ubus/method_groups.h
// declares it for Deinit).
void static_ip_config_release();

#endif
