// Demonstration on the simulated device: runs inside the test sandbox (private namespaces with
// overlays over /etc, /usr/bin and /var), so nothing on this machine is changed.
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "host/demo/demo_log.h"
#include "host/demo/hotspot_demo.h"
#include "host/sandbox/sandbox.h"
#include "wlanmgr.h"

namespace {

void Section(const char* title) { printf("\n== %s\n", title); }

const char* ModeName(int wmode, int band) {
    switch (wmode) {
        case WLAN_MGR_WMODE_11B:
            return "11b";
        case WLAN_MGR_WMODE_11G_ONLY:
            return "11g only";
        case WLAN_MGR_WMODE_11N_ONLY:
            return band == WLAN_MGR_BAND_5G ? "11n only (5 GHz)" : "11n only (2.4 GHz)";
        case WLAN_MGR_WMODE_11BG:
            return "11bg";
        case WLAN_MGR_WMODE_11BGN:
            return "11bgn";
        case WLAN_MGR_WMODE_11AN:
            return "11an";
        case WLAN_MGR_WMODE_11A:
            return "11a";
        default:
            return "not set";
    }
}

void InstallDeviceImage() {
    std::string samples = sandbox::SourceDir() + "/host/sample/";
    sandbox::WriteFile("/etc/default_config/AR6004_hostapd.conf",
                       sandbox::ReadFile(samples + "AR6004_hostapd.conf"));
    sandbox::WriteFile("/etc/config/product", sandbox::ReadFile(samples + "product"));
    sandbox::WriteFile("/etc/config/wlan", "");
    sandbox::WriteFile("/etc/config/hostapd.deny", "");
}

void ShowConfiguration() {
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, "/etc/hostapd.conf");
    if (bss == nullptr) return;
    printf("  ssid            %s%s\n", bss->ssid, bss->ignore_broadcast_ssid ? " (hidden)" : "");
    printf("  country         %s\n", bss->country);
    printf("  mode            %s, %s band\n", ModeName(bss->wmode, bss->band_type),
           bss->band_type == WLAN_MGR_BAND_5G ? "5 GHz" : "2.4 GHz");
    printf("  channel         %s\n",
           bss->channel ? std::to_string(bss->channel).c_str() : "automatic");
    printf("  ht_capab        %s\n", bss->ht_capab);
    if (bss->wpa)
        printf("  security        wpa=%d %s %s, passphrase %s\n", bss->wpa, bss->wpa_key_mgmt,
               bss->wpa_pairwise, bss->wpa_passphrase[0] ? bss->wpa_passphrase : bss->wpa_psk);
    else
        printf("  security        open\n");
    printf("  wps             %s\n", bss->wps_state == 2 && bss->eap_server == 1 ? "on" : "off");
    printf("  mac filter      %s, %d entries in %s\n", bss->macaddr_acl ? "on" : "off",
           bss->num_accept_mac, bss->deny_mac_file);
    for (int i = 0; i < bss->num_extra_conf; ++i)
        printf("  kept line       %s\n", bss->extra_conf[i]);

    char wl_code[WLAN_REGION_CODE_SIZE] = "";
    get_wl_country_code(bss->country, wl_code);
    char chans_5g[WLAN_REGION_CHAN_5G_SIZE] = "";
    get_chan_5G(bss->country, chans_5g);
    Section("Region limits");
    printf("  radio country   %s, regulatory revision %d\n", wl_code, get_wl_regv_code(wl_code));
    printf("  2.4 GHz         channels 1 to %d\n", get_max_chan_2G(bss->country));
    printf("  5 GHz           %s\n", chans_5g[0] ? chans_5g : "none");
    wlan_mgr_free_config(&bss);
}

}  // namespace

int main(int argc, char** argv) {
    sandbox::Init(argc, argv);
    if (!sandbox::Available()) {
        fprintf(stderr, "The demo needs the sandbox: %s\n", sandbox::Why().c_str());
        return 1;
    }
    demo_log_install();
    if (argc >= 3 && std::string(argv[1]) == "call") {
        demo_log_set_output(stderr);  // the reply alone on standard output
        InstallDeviceImage();
        prepare_hostapd_conf("/etc/hostapd.conf");
        return run_method_call(argv[2], argc >= 4 ? argv[3] : "");
    }
    if (argc > 1) {
        fprintf(stderr, "usage: %s [call METHOD ['{json}']]\n", argv[0]);
        return 2;
    }

    Section("Device image: configuration template and product settings (export device, EU)");
    InstallDeviceImage();
    printf("%s", sandbox::ReadFile("/etc/config/product").c_str());

    Section("First start: prepare_hostapd_conf(\"/etc/hostapd.conf\")");
    prepare_hostapd_conf("/etc/hostapd.conf");
    printf("  /etc/hostapd.conf -> %s", sandbox::Output("readlink /etc/hostapd.conf").c_str());

    Section("Generated /etc/hostapd.conf");
    printf("%s", sandbox::ReadFile("/etc/hostapd.conf").c_str());

    Section("Read back with wlan_mgr_get_config");
    ShowConfiguration();

    Section("Second start: an existing ssid line leaves the file untouched");
    std::string before = sandbox::ReadFile("/etc/hostapd.conf");
    prepare_hostapd_conf("/etc/hostapd.conf");
    printf("  unchanged: %s\n", before == sandbox::ReadFile("/etc/hostapd.conf") ? "yes" : "no");

    return run_hotspot_demo();
}
