#ifndef WLAN_CONFIG_CONFIG_SETTINGS_H
#define WLAN_CONFIG_CONFIG_SETTINGS_H

#include "wlan_config.h"

// Stores one key=value line of the configuration file in the record, with the checks and
// messages of its key. Unknown keys are kept as extra lines, in file order. line is the line
// number for messages.
void apply_config_setting(wlan_mgr_bss_config* bss, const char* key, const char* value, int line);

#endif
