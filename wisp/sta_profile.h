#ifndef WLAN_WISP_STA_PROFILE_H
#define WLAN_WISP_STA_PROFILE_H

// The saved upstream profiles of station mode and the files made from them.
//
// The profile file /etc/config/wisp_profile, one value per line, as devices in the field write
// it: first last_record_profile_num, then per profile, in list order, eight lines: ssid,
// channel, sec_type, ieee8021x_type, wpa_key, keyid, authtype and an empty line. A block cut
// short at the end of the file does not count; blocks after the 32nd are ignored. Reading is
// bounded: a line over 127 characters is cut (its rest dropped, so the following lines keep
// their places), texts over their field are cut, numbers that are no decimal int32 read as 0,
// and a last_record_profile_num outside 0..31 as 0.
//
// Callers hold UbusAssistant::wlan_conf_lock around all of these.

#include <string>

#include "include/wlan_wisp.h"

// Why wpa_supplicant would refuse this profile (and with it the whole file), or null when it
// reads it: WPA personal needs 8 to 63 printable ASCII characters or 64 hexadecimal digits, WEP
// a key of 5 or 13 printable ASCII characters or 10 or 26 hexadecimal digits and a key number
// 1..4. A quoted key must not hold a '#' after an odd number of double quotes (the supplicant
// would take it for a comment; an SSID like that is written in hexadecimal instead). The texts
// must hold no line break.
const char* sta_profile_fault(const sta_setting_t& profile);

// The text of the profile file and of the supplicant file for the list as it is now.
std::string sta_profile_file_text();
std::string sta_supplicant_file_text();

// Empties the list, then reads the profile file into it (the band-specific message when it
// cannot be opened; current_wireless_band must be set).
void sta_profiles_load();

// Puts sta_setting into the list: in the slot of the last profile with the same SSID, else
// appended, else (all 32 slots used) in slot last_record_profile_num, which then advances. The
// slot becomes connect_profile_num.
void sta_profiles_place();

// Writes the profile file and the supplicant file, each replaced atomically once both are
// ready, the supplicant file first. A profile file that cannot be written is logged and left as
// it was; a supplicant file that cannot be written leaves both files as they were and returns
// false.
bool sta_profiles_store();

#endif
