#ifndef WLAN_RADIO_RADIO_SCRIPT_H
#define WLAN_RADIO_RADIO_SCRIPT_H

#include <string>

#include "radio/script_escape.h"
#include "radio/script_text.h"
#include "wlan_config.h"

// SSID and WPA key of a record, escaped for their places between double quotes, and the
// argument of the country command.
struct RadioTexts {
    char ssid[kEscapedTextSize];
    char key[kEscapedTextSize];  // empty: the record has no key and no PMK line is written
    std::string country;
};

// What tells the AP script and the AP+station script apart.
struct RadioScriptFlavor {
    const char* parameters;      // the "#Get parameters" block: shell variables from $1..$3
    const char* basic_commands;  // step 2: mbss, apsta, ap, mpc
    int default_max_sta;         // association limit without a usable max_num_sta line
    // Everything after the maxassoc line: SSID, security and the final "up".
    void (*write_tail)(ScriptText& out, const wlan_mgr_bss_config& bss, const RadioTexts& texts,
                       int max_sta);
};

// Generates the radio script of the given flavor from bss into path and makes it executable.
// 0 or -1 (reported at level 5).
int generate_radio_script(const wlan_mgr_bss_config* bss, const char* path,
                          const RadioScriptFlavor& flavor);

// The argument of the country command: the wl code of the record's country with its
// regulatory revision when it has one ("US", "JP/0"). False when the country is not two
// letters or digits; an empty country gives an empty argument, which leaves the radio's own.
bool wl_country_argument(const wlan_mgr_bss_config& bss, std::string* argument);

// Step 3: the country command and the 802.11 mode block of wmode.
void write_country_and_mode(ScriptText& out, const wlan_mgr_bss_config& bss,
                            const std::string& country);

// The security commands, each beginning with wl ("${WL}", or "${WL} -i ${AP_NAME}" for the AP
// side of the AP+station script). Nothing for a wpa_pairwise other than TKIP, CCMP and
// "CCMP TKIP" on a secured network.
void write_security_block(ScriptText& out, const wlan_mgr_bss_config& bss, const char* wl);

#endif
