#ifndef WLANMGR_H
#define WLANMGR_H

// Everything libwlanmgr exports. Hosts and tests include only this header.
#include "hostapd_agent.h"
#include "sta_list.h"
#include "ubus_assistant.h"
#include "wlan_coex.h"
#include "wlan_config.h"
#include "wlan_event.h"
#include "wlan_log.h"
#include "wlan_os.h"
#include "wlan_radio.h"
#include "wlan_region.h"
#include "wlan_scan.h"
#include "wlan_time.h"
#include "wlan_warn.h"
#include "wlan_wisp.h"
#include "wpa_ctrl.h"

#endif
