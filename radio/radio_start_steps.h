#ifndef WLAN_RADIO_RADIO_START_STEPS_H
#define WLAN_RADIO_RADIO_START_STEPS_H

#include <stdint.h>

#include "wlan_config.h"
#include "wpscli.h"

// Steps of the radio start that stand on their own.

// Fills the WPS network settings from the configuration's security fields and SSID. An open
// network (wpa 0) gets no key and codes 0; wpa 3 gets authentication 4, encryption 2 for
// "TKIP" or 3 for "CCMP" and "CCMP TKIP", and the pre-shared key or the passphrase as the
// network key. Whatever the configuration does not decide keeps its previous value.
void fill_wps_network_settings(const wlan_mgr_bss_config* bss, brcm_wpscli_nw_settings* nw);

// The channel at the very start of a "wlarm chanspec" line: its leading decimal digits, 0 when
// the line begins with anything else. Digits beyond any real channel number give 0.
uint32_t leading_channel_number(const char* line);

// Runs "wlarm chanspec" and returns the channel of its first line, 0 when it cannot run (after
// the error log "wlarm chanspec failed!\n") or prints nothing.
uint32_t query_operating_channel();

#endif
