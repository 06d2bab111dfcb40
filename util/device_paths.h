#ifndef WLAN_UTIL_DEVICE_PATHS_H
#define WLAN_UTIL_DEVICE_PATHS_H

// Every file, socket and program of the device that the library names, in one place.

// AP configuration and its MAC filter list.
constexpr const char* kHostapdConfPath = "/etc/hostapd.conf";
constexpr const char* kMacDenyListPath = "/etc/config/hostapd.deny";
// The device image's configuration template, and the working copy that /etc/hostapd.conf
// normally links to.
constexpr const char* kHostapdTemplatePath = "/etc/default_config/AR6004_hostapd.conf";
constexpr const char* kHostapdWorkingCopyPath = "/etc/AR6004_hostapd.conf";

// Generated radio scripts and the platform's radio script that runs them ("start", "stop").
constexpr const char* kApScriptPath = "/usr/bin/bcmApSet.sh";
constexpr const char* kApStaScriptPath = "/usr/bin/bcmApStaSet.sh";
constexpr const char* kMacFilterScriptPath = "/usr/bin/bcm_mac_filter.sh";
constexpr const char* kRadioScriptPath = "/usr/bin/bcmwlan_ap1.sh";

// Station mode: supplicant configuration, saved profiles, static IP settings, the platform's
// station-interface tool, scan results and the connected network.
constexpr const char* kSupplicantConfPath = "/etc/config/wpa_supplicant.conf";
constexpr const char* kWispProfilePath = "/etc/config/wisp_profile";
constexpr const char* kWispStaticIpPath = "/etc/config/wisp_static_ip_conf";
constexpr const char* kStaInterfaceToolPath = "/usr/bin/QCMAP_StaInterface";
constexpr const char* kScanResultsPath = "/etc/scan_results";
constexpr const char* kScanResultsBackupPath = "/etc/scan_results_bak";
constexpr const char* kConnectedInfoPath = "/etc/connected_info";

// Where station details come from: dnsmasq's DHCP leases and the kernel's ARP table.
constexpr const char* kDhcpLeasesPath = "/var/lib/misc/dnsmasq.leases";
constexpr const char* kArpTablePath = "/proc/net/arp";

// The bus daemon's socket.
constexpr const char* kUbusSocketPath = "/var/run/ubus.sock";

// The control-interface client: its local socket files (process id, sequence number) and the
// random source of its helpers.
#define WLAN_WPA_CTRL_LOCAL_SOCKET_FORMAT "/tmp/wpa_ctrl_%d-%d"
constexpr const char* kRandomDevicePath = "/dev/urandom";

#endif
