#include <android/log.h>
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "ubus/config_methods.h"
#include "ubus/method_call.h"
#include "wlan_config.h"

// The handler work of the configuration methods on a configuration with n MAC list entries:
// reading the file and building the reply of wlan_get_config; parsing and checking a request,
// reading the file and applying the request for wlan_set_config. The file lives in a scratch
// directory; writing it back (replace and sync) and the radio's MAC filter update are left out,
// so no device path is written and no command runs. Without an assistant the reply is built
// and freed but not sent.

namespace {

void DropLog(const struct __android_logger_data*, const char*) {}

std::string MacList(int entries) {
    std::string text;
    for (int i = 0; i < entries; ++i) {
        char entry[64];
        snprintf(entry, sizeof(entry), "02:00:00:00:%02x:%02x#DES_LEN:9#device #%d#", i / 256,
                 i % 256, i % 10);
        text += entry;
    }
    return text;
}

// A scratch configuration file with its MAC list beside it; removed with the directory at exit.
std::string ScratchConfig(int entries) {
    static std::string dir = [] {
        __android_log_set_logger(DropLog);
        char name[] = "/tmp/config_bench.XXXXXX";
        std::string made = mkdtemp(name) != nullptr ? name : "";
        static std::string to_remove = made;
        atexit([] {
            if (!to_remove.empty())
                benchmark::DoNotOptimize(system(("rm -rf " + to_remove).c_str()));
        });
        return made;
    }();
    std::string path = dir + "/hostapd.conf";
    FILE* conf = fopen(path.c_str(), "w");
    FILE* list = fopen((dir + "/hostapd.deny").c_str(), "w");
    if (conf == nullptr || list == nullptr) return "";
    fprintf(conf,
            "ssid=Hotspot\nignore_broadcast_ssid=0\ncountry_code=US\nwmode=2\nchannel=6\n"
            "macaddr_acl=3\ndeny_mac_file=%s/hostapd.deny\nauth_algs=1\nieee80211n=1\n"
            "ht_capab=[HT40+][SHORT-GI-20]\nrequire_ht=0\nwpa=3\nwpa_key_mgmt=WPA-PSK\n"
            "wpa_pairwise=CCMP\nwpa_passphrase=correct horse\nwps_state=2\neap_server=1\n"
            "ap_isolate=0\nmax_num_sta=10\nht2040_coex_disable=1\n",
            dir.c_str());
    for (int i = 0; i < entries; ++i)
        fprintf(list, "#DESCRIPTION:device #%d\n02:00:00:00:%02x:%02x\n", i % 10, i / 256, i % 256);
    fclose(conf);
    fclose(list);
    return path;
}

void BM_GetConfig(benchmark::State& state) {
    std::string path = ScratchConfig(static_cast<int>(state.range(0)));
    if (path.empty()) state.SkipWithError("no scratch directory");
    for (auto _ : state) {
        MethodCall call("ubus_wlan_getconfig", nullptr);
        wlan_mgr_bss_config* bss = nullptr;
        wlan_mgr_get_config(&bss, path.c_str());
        add_config_reply(call, *bss);
        benchmark::DoNotOptimize(call.Reply()->head);
        wlan_mgr_free_config(&bss);
    }
}
BENCHMARK(BM_GetConfig)->Arg(0)->Arg(32);

void BM_SetConfig(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    std::string path = ScratchConfig(entries);
    if (path.empty()) state.SkipWithError("no scratch directory");
    blob_buf request = {};
    blob_buf_init(&request, 0);
    blobmsg_add_string(&request, "ssid", "Cafe #1");
    blobmsg_add_u32(&request, "ignore_broadcast_ssid", 0);
    blobmsg_add_string(&request, "region", "DE");
    const char* const ints[] = {"band_type", "chan", "wmode", "chan_width", "wpa", "wpa_encrypt"};
    const uint32_t values[] = {0, 6, 5, 1, 3, 2};
    for (size_t i = 0; i < sizeof(values) / sizeof(values[0]); ++i)
        blobmsg_add_u32(&request, ints[i], values[i]);
    blobmsg_add_string(&request, "wpa_key", "pass phrase #1");
    blobmsg_add_u32(&request, "mac_filter", 1);
    blobmsg_add_string(&request, "mac_addrs", MacList(entries).c_str());
    blobmsg_add_u32(&request, "wps", 1);
    blobmsg_add_u32(&request, "ap_isolate", 0);
    for (auto _ : state) {
        ConfigRequest parsed;
        if (parse_config_request(request.head, &parsed) != 0) {
            state.SkipWithError("request refused");
            break;
        }
        wlan_mgr_bss_config* bss = nullptr;
        wlan_mgr_get_config(&bss, path.c_str());
        benchmark::DoNotOptimize(apply_config_request(parsed, bss));
        wlan_mgr_free_config(&bss);
    }
    blob_buf_free(&request);
}
BENCHMARK(BM_SetConfig)->Arg(0)->Arg(32);

}  // namespace
