#include "hostapd_agent.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/shell.h"
#include "wlan_radio.h"

namespace {}  // namespace

void HostapdAgent::BcmUpdateAcl(wlan_mgr_bss_config* bss) {
    if (wlan_mgr_mac_fliter_to_wl_sh(bss, kMacFilterScriptPath) != 0) {
        wlan_errlog(WLAN_PRIO_ERROR, "Generate mac filter sh failed");
        return;
    }
    char command[64];
    if (!format_bounded(command, sizeof(command), "%s %s", kMacFilterScriptPath, "wlarm") ||
        !shell_run(command))
        wlan_errlog(WLAN_PRIO_ERROR, "Run mac filter sh failed");
}
