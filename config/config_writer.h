#ifndef WLAN_CONFIG_CONFIG_WRITER_H
#define WLAN_CONFIG_CONFIG_WRITER_H

#include "wlan_config.h"

// What wlan_mgr_set_config does, with its outcome for the library's own callers: 0, or -1 when
// a text of the record holds a CR or LF (nothing written, level-5 message) or a file could not
// be written (the old configuration and MAC list stay as they were).
int wlan_config_write(wlan_mgr_bss_config* bss, const char* path);

#endif
