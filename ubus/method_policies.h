#ifndef WLAN_UBUS_METHOD_POLICIES_H
#define WLAN_UBUS_METHOD_POLICIES_H

// Argument policies of the service object's methods. Handlers parse their request against the
// policy of their method; the enumerators index the parsed table.

extern "C" {
#include <libubox/blobmsg.h>
}

enum SwitchPolicyField { SWITCH_SWITCH, SWITCH_POLICY_MAX };
enum WpsStartPolicyField { WPS_START_PIN, WPS_START_POLICY_MAX };

// Shared by wlan_get_config and wlan_set_config.
enum ConfigPolicyField {
    CONFIG_SSID,
    CONFIG_IGNORE_BROADCAST_SSID,
    CONFIG_REGION,
    CONFIG_BAND_TYPE,
    CONFIG_CHAN,
    CONFIG_WMODE,
    CONFIG_CHAN_WIDTH,
    CONFIG_WPA,
    CONFIG_WPA_ENCRYPT,
    CONFIG_WPA_KEY,
    CONFIG_MAC_FILTER,
    CONFIG_MAC_ADDRS,
    CONFIG_WPS,
    CONFIG_AP_ISOLATE,
    CONFIG_POLICY_MAX
};

// These three name the fields of their replies; the handlers read no request.
enum ClientMacPolicyField { CLIENT_MAC_MAC, CLIENT_MAC_POLICY_MAX };
enum Support5GPolicyField { SUPPORT_5G_IF_SUPPORT, SUPPORT_5G_POLICY_MAX };
enum RegionListPolicyField { REGION_LIST_NUM, REGION_LIST_LIST, REGION_LIST_POLICY_MAX };

// Shared by wlan_get_ps_status and wlan_set_ps_status.
enum PowerSavePolicyField { PS_POWER_SAVE_STATUS, PS_POWER_LEVEL, PS_DISABLE_TIME, PS_POLICY_MAX };

enum WwanPolicyField {
    WWAN_WLAN_IF,
    WWAN_BAND_INFO_VALID,
    WWAN_UL_BAND_FREQ,
    WWAN_UL_BAND_BW,
    WWAN_DL_BAND_FREQ,
    WWAN_DL_BAND_BW,
    WWAN_TDD_INFO_VALID,
    WWAN_TDD_INFO_FRAME_OFFSET,
    WWAN_TDD_INFO_CONFIG,
    WWAN_TDD_INFO_SUBFRAME_CONFIG,
    WWAN_TDD_INFO_UL_CONFIG,
    WWAN_TDD_INFO_DL_CONFIG,
    WWAN_OFF_PERIOD_VALID,
    WWAN_OFF_PERIOD,
    WWAN_POLICY_MAX
};

enum StaConfigPolicyField {
    STA_CONFIG_SSID,
    STA_CONFIG_CHANNEL,
    STA_CONFIG_SEC_TYPE,
    STA_CONFIG_IEEE8021X_TYPE,
    STA_CONFIG_WPA_KEY,
    STA_CONFIG_KEYID,
    STA_CONFIG_AUTHTYPE,
    STA_CONFIG_IP,
    STA_CONFIG_SUBMASK,
    STA_CONFIG_GATEWAY,
    STA_CONFIG_DNS1,
    STA_CONFIG_DNS2,
    STA_CONFIG_POLICY_MAX
};

enum StaticIpPolicyField { STATIC_IP_SSID, STATIC_IP_POLICY_MAX };

extern const blobmsg_policy wlan_switch_policy[SWITCH_POLICY_MAX];
extern const blobmsg_policy wlan_wps_start_policy[WPS_START_POLICY_MAX];
extern const blobmsg_policy wlan_config_policy[CONFIG_POLICY_MAX];
extern const blobmsg_policy wlan_client_mac_policy[CLIENT_MAC_POLICY_MAX];
extern const blobmsg_policy wlan_5g_support_policy[SUPPORT_5G_POLICY_MAX];
extern const blobmsg_policy wlan_region_list_policy[REGION_LIST_POLICY_MAX];
extern const blobmsg_policy wlan_power_save_policy[PS_POLICY_MAX];
extern const blobmsg_policy wlan_wwan_policy[WWAN_POLICY_MAX];
extern const blobmsg_policy wlan_sta_config_policy[STA_CONFIG_POLICY_MAX];
extern const blobmsg_policy wlan_static_ip_policy[STATIC_IP_POLICY_MAX];

#endif
