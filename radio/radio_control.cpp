#include "agent/spy_state.h"
#include "agent/wlan_settings.h"
#include "agent/wps_state.h"
#include "hostapd_agent.h"
#include "radio/radio_start_steps.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"
#include "wlan_coex.h"
#include "wlan_radio.h"

namespace {

constexpr int kGenerateAttempts = 5;
constexpr int32_t kWpsStateOn = 2;

// Releases the configuration record on every path out of the radio start.
class ConfigRecord {
public:
    ~ConfigRecord() { wlan_mgr_free_config(&record_); }
    wlan_mgr_bss_config** Out() { return &record_; }
    wlan_mgr_bss_config* Get() { return record_; }

private:
    wlan_mgr_bss_config* record_ = nullptr;
};

// Writes the radio script for the current mode, retrying a failed generation.
bool generate_radio_script(const wlan_mgr_bss_config* bss, bool station_mode) {
    const char* path = station_mode ? kApStaScriptPath : kApScriptPath;
    for (int attempt = 1; attempt <= kGenerateAttempts; ++attempt) {
        int result;
        if (station_mode) {
            shell_runf("echo 0 > %s", kScanResultsPath);
            result = wlan_mgr_apsta_conf_to_wl_sh(bss, path);
        } else {
            result = wlan_mgr_conf_to_wl_sh(bss, path);
        }
        if (result >= 0) return true;
        wlan_errlog(WLAN_PRIO_ERROR, "try to generate wl script %s again.", path);
    }
    wlan_errlog(WLAN_PRIO_ERROR, "Cannot generate wl script %s, WLAN start fails", path);
    return false;
}

// A secured network lists only the stations that completed the key handshake.
void select_station_list_command(int32_t wpa) {
    if (wpa != 0)
        publish_spy_command("wlarm autho_sta_list", 14);
    else
        publish_spy_command("wlarm assoclist", 9);
}

}  // namespace

int HostapdAgent::BcmWLStart() {
    ConfigRecord config;
    if (wlan_mgr_get_config(config.Out(), kHostapdConfPath) != 0 || config.Get() == nullptr)
        return -1;
    wlan_mgr_bss_config* bss = config.Get();
    bool wps_wanted = bss->wps_state == kWpsStateOn && bss->eap_server == 1;
    fill_wps_network_settings(bss, wps_network_settings());

    bool station_mode = _get_wlan_wisp_enable_status() == 1;
    if (!generate_radio_script(bss, station_mode)) return -1;

    // The platform script is started directly: "SCRIPT start" needs no shell of its own.
    const char* start[] = {kRadioScriptPath, "start", nullptr};
    if (!command_run(start)) {
        wlan_errlog(WLAN_PRIO_ERROR, "Execute wl script: Error. WLAN start fails");
        return -1;
    }
    bcm_lte_coex_set_selected_channel(query_operating_channel());
    select_station_list_command(bss->wpa);
    BcmUpdateAcl(bss);
    wlan_mgr_free_config(config.Out());

    if (wps_wanted) {
        if (BcmWPSEnable() == 0) {
            _wps_featured = true;
        } else {
            _wps_featured = false;
            wlan_errlog(WLAN_PRIO_WARN, "WPS failed to enable");
        }
    } else {
        BcmWPSDisable();
        _wps_featured = false;
    }
    return 0;
}

int HostapdAgent::BcmWLStop() {
    if (_wps_featured) BcmWPSDisable();
    if (BcmWLDeauthAll() != 0)
        wlan_errlog(WLAN_PRIO_ERROR, "Deauthenticate all online station failed\n");
    const char* stop[] = {kRadioScriptPath, "stop", nullptr};
    if (!command_run(stop)) {
        wlan_errlog(WLAN_PRIO_ERROR, "Execute wl script: Error. WLAN stop fails");
        return -1;
    }
    return 0;
}

int HostapdAgent::BcmWLDeauthAll() {
    const SpyCommand spy = spy_command_snapshot();
    bool failed = false;
    int lines = for_each_spy_line(spy, [&failed](const char* mac) {
        // Only a well-formed MAC goes into a command line.
        if (!is_mac_text(mac)) {
            WLAN_LOG5("BcmWLDeauthAll: skip station line without a MAC [%s]", mac);
            return true;
        }
        // "wlarm deauthenticate MAC", started directly.
        const char* argv[] = {"wlarm", "deauthenticate", mac, nullptr};
        failed = !command_run(argv);
        return !failed;
    });
    if (lines < 0) {
        wlan_errlog(WLAN_PRIO_ERROR, "Read %s failed!\n", spy.spy_cmd);
        return -1;
    }
    if (failed) {
        wlan_errlog(WLAN_PRIO_ERROR, "Deauthenticate failed\n");
        return -1;
    }
    return 0;
}
