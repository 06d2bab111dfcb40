#ifndef WLAN_AGENT_WLAN_SETTINGS_H
#define WLAN_AGENT_WLAN_SETTINGS_H

#include <stdint.h>

// Readers of the wlan.basic_setting options. Each runs "uci get" and takes the value as a
// decimal integer; 0 when the option is missing, not a number or the command cannot run.

// User's auto-down (idle) time in seconds: wlan.basic_setting.disable_time.
int32_t _get_wlan_auto_down_time();
// System auto-down time in seconds: wlan.basic_setting.disable_time_system.
int32_t _get_wlan_auto_down_time_system();
// 1 when station (WISP) mode is on: wlan.basic_setting.wisp_status.
int32_t _get_wlan_wisp_enable_status();

#endif
