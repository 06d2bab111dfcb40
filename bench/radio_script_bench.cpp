#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <new>
#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "radio/script_escape.h"
#include "wlan_coex.h"
#include "wlan_radio.h"

// Script generation runs on every radio start (up to five attempts): the whole AP script for a
// 2.4 GHz and a 5 GHz record, written to a private temporary folder, and its text escaping.

namespace {

struct BenchRecord {
    wlan_mgr_bss_config bss;
    std::vector<char> extra;

    explicit BenchRecord(int band_type) {
        memset(&bss, 0, sizeof(bss));
        strcpy(bss.ssid, "Bench \"AP\" $x");
        strcpy(bss.country, "US");
        bss.wmode = band_type == 1 ? 6 : 5;
        bss.band_type = band_type;
        bss.auto_chan_select = 6;
        strcpy(bss.ht_capab, "[HT40+][SHORT-GI-20]");
        bss.wpa = 2;
        strcpy(bss.wpa_pairwise, "CCMP");
        strcpy(bss.wpa_passphrase, "pass`word`\\123");
        extra.assign(2 * WLAN_MGR_EXTRA_CONF_SLOT, '\0');
        strcpy(&extra[0], "max_num_sta=8");
        strcpy(&extra[WLAN_MGR_EXTRA_CONF_SLOT],
               band_type == 1 ? "acs_chan_list=36,44,149,157" : "acs_chan_list=1,6,11");
        bss.extra_conf = reinterpret_cast<char(*)[WLAN_MGR_EXTRA_CONF_SLOT]>(extra.data());
        bss.num_extra_conf = 2;
    }
};

// A fresh agent for the coexistence logic (no LTE restriction known). It is never destroyed:
// its destructor would take the radio down.
void UseFreshAgent() {
    alignas(HostapdAgent) static unsigned char storage[sizeof(HostapdAgent)];
    static HostapdAgent* agent = new (storage) HostapdAgent();
    bcm_lte_coex_set_shadow_agent(agent);
}

void BM_ApScript(benchmark::State& state) {
    UseFreshAgent();
    char dir[] = "/tmp/wlanmgr-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string path = std::string(dir) + "/bcmApSet.sh";
    BenchRecord record(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(wlan_mgr_conf_to_wl_sh(&record.bss, path.c_str()));
    unlink(path.c_str());
    rmdir(dir);
}
BENCHMARK(BM_ApScript)->Arg(0)->Arg(1)->ArgName("band_type");

void BM_EscapeScriptText(benchmark::State& state) {
    const std::string text(static_cast<size_t>(state.range(0)), '"');
    char out[kEscapedTextSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(escape_script_text(text.c_str(), out));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EscapeScriptText)->Arg(8)->Arg(63);

}  // namespace
