#ifndef WLAN_WISP_H
#define WLAN_WISP_H

#include <stdint.h>

#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Station mode (WISP): the radio also joins another access point as a client, through
// wpa_supplicant on the station interface "eth0", with the saved upstream profiles.

#define WISP_MAX_PROFILES 32

// One upstream network, with the fields named like the attributes of wlan_set_sta_config.
struct sta_setting {
    char ssid[33];           // up to 32 characters
    int32_t channel;         // kept in the profile file only
    int32_t sec_type;        // 0 open, 1 WEP, 2..6 WPA/WPA2 personal, 7 EAP with a SIM; else open
    int32_t ieee8021x_type;  // with sec_type 7: 4 EAP-SIM, 5 EAP-AKA
    char wpa_key[65];        // WPA passphrase (or 64 hexadecimal digits) or WEP key
    int32_t keyid;           // WEP key number 1..4
    int32_t authtype;        // WEP authentication: 2 shared key, else open system
    char ip[16];             // static IP settings, dotted decimal (kept per SSID elsewhere)
    char submask[16];
    char gateway[16];
    char dns1[16];
    char dns2[16];
};
typedef struct sta_setting sta_setting_t;

// The profile being configured, and the known profiles: slots 0 .. current_profile_num - 1 are
// valid. connect_profile_num is the slot to connect to (the higher priority in the supplicant
// file); last_record_profile_num the slot overwritten next when all slots are used (it advances
// cyclically); current_wireless_band the AP band when the profiles were last handled (0 2.4 GHz,
// 1 5 GHz). Changed only under UbusAssistant::wlan_conf_lock.
WLAN_EXPORT extern sta_setting_t sta_setting;
WLAN_EXPORT extern sta_setting_t sta_setting_list[WISP_MAX_PROFILES];
WLAN_EXPORT extern int32_t current_profile_num;
WLAN_EXPORT extern int32_t connect_profile_num;
WLAN_EXPORT extern int32_t last_record_profile_num;
WLAN_EXPORT extern int32_t current_wireless_band;

// Writes /etc/config/wpa_supplicant.conf from the valid profiles, replacing the file atomically
// (a failed write leaves the old one). A profile that wpa_supplicant could not read (which would
// make it refuse the whole file) is left out with a level-5 message. 0, or -1 ("file open fail")
// when the file cannot be written.
WLAN_EXPORT int wpa_supplicant_conf_write(void);

// Stops the running process of that name (SIGTERM through killall) and waits up to 4 s for the
// first process pidof names to go away (a process that has ended but is not reaped yet counts
// as gone). Returns at once when none runs. A name that is not a
// plain program name (letters, digits, '.', '_', '-') is refused with a level-5 message.
WLAN_EXPORT void kill_and_wait_process_stop(const char* name);

#ifdef __cplusplus
}
#endif

#endif
