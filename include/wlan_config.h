#ifndef WLAN_CONFIG_H
#define WLAN_CONFIG_H

#include <stdint.h>

#include "wlan_export.h"

// One entry of the MAC filter list: 51 bytes, stored back to back.
typedef struct wlan_mgr_mac_entry {
    char mac[18];          // six two-digit hex groups joined by colons, terminated
    char description[33];  // up to 32 characters; empty when none was given
} wlan_mgr_mac_entry;

#define WLAN_MGR_EXTRA_CONF_SLOT 64

// Wireless-mode codes of the record's wmode while it is in use. The configuration file has
// codes of its own; the reader and the writer convert.
typedef enum wlan_mgr_wmode {
    WLAN_MGR_WMODE_UNSET = 0,
    WLAN_MGR_WMODE_11B = 1,
    WLAN_MGR_WMODE_11G_ONLY = 2,
    WLAN_MGR_WMODE_11N_ONLY = 3,  // on the band of band_type
    WLAN_MGR_WMODE_11BG = 4,
    WLAN_MGR_WMODE_11BGN = 5,
    WLAN_MGR_WMODE_11AN = 6,
    WLAN_MGR_WMODE_11A = 7,
} wlan_mgr_wmode;

// Band codes of the record's band_type.
typedef enum wlan_mgr_band {
    WLAN_MGR_BAND_2_4G = 0,
    WLAN_MGR_BAND_5G = 1,
} wlan_mgr_band;

// One AP configuration, as read from and written to /etc/hostapd.conf. wmode holds a
// wlan_mgr_wmode code while the record is in use; the writer converts it to the file code in
// place.
typedef struct wlan_mgr_bss_config {
    char ssid[33];
    int32_t ignore_broadcast_ssid;
    char country[3];
    int32_t wmode;
    int32_t channel;
    int32_t auto_chan_select;
    int32_t band_type;  // wlan_mgr_band
    int32_t macaddr_acl;
    char deny_mac_file[65];
    wlan_mgr_mac_entry* accept_mac;
    int32_t num_accept_mac;
    int32_t auth_algs;
    int32_t ieee80211n;
    char ht_capab[65];
    int32_t require_ht;
    int32_t wpa;
    char wpa_key_mgmt[33];
    char wpa_pairwise[33];
    char wpa_psk[65];
    char wpa_passphrase[65];
    int32_t wps_state;
    int32_t eap_server;
    int32_t ap_isolate;
    char (*extra_conf)[WLAN_MGR_EXTRA_CONF_SLOT];
    int32_t num_extra_conf;
} wlan_mgr_bss_config;

#ifdef __cplusplus
extern "C" {
#endif

// Reads the configuration file into a new zero-filled record stored through out. Returns 0,
// also when the file cannot be opened (the record is then all zero); -1 only for a null out.
// The caller releases the record with wlan_mgr_free_config.
WLAN_EXPORT int wlan_mgr_get_config(wlan_mgr_bss_config** out, const char* path);
// Converts the record's mode fields to the file code in place and rewrites the file and the
// MAC list file named by deny_mac_file. Both new files are written in full before either
// replaces its old one. A record with a CR or LF in a text is not written (level-5 message), and
// a failed write leaves the old pair.
WLAN_EXPORT void wlan_mgr_set_config(wlan_mgr_bss_config* bss, const char* path);
// Frees the record and its lists and sets *pp to null; a null *pp does nothing.
WLAN_EXPORT void wlan_mgr_free_config(wlan_mgr_bss_config** pp);

// Runs a uci get command line and leaves the first output line (or the default) in buffer.
WLAN_EXPORT void read_uci(const char* command, char* buffer, int size, const char* default_value);
// 0 when the product region is "CN", 1 otherwise.
WLAN_EXPORT int is_export_product(void);
// Makes sure the configuration file at path exists and has an ssid line, generating the
// device-specific settings when it has none.
WLAN_EXPORT void prepare_hostapd_conf(const char* path);

#ifdef __cplusplus
}
#endif

#endif
