#include <benchmark/benchmark.h>
#include <string.h>

#include <string>

#include "wisp/sta_profile.h"

// The text work of saving a station profile: the profile file and the supplicant file written
// for a full list of 32 profiles (no file is opened, only the texts are built), and the check
// that every requested profile goes through. The list mixes every security type: open, WEP as
// text and in hexadecimal, WPA passphrases and raw 64-digit keys, EAP-SIM and EAP-AKA; some
// SSIDs hold a quote before a '#', which makes them written in hexadecimal.

namespace {

sta_setting_t Profile(int i) {
    sta_setting_t p;
    memset(&p, 0, sizeof(p));
    std::string ssid = i % 5 == 4 ? "Cafe \"" + std::to_string(i) + " #guest"
                                  : "Upstream network " + std::to_string(i);
    strncpy(p.ssid, ssid.c_str(), sizeof(p.ssid) - 1);
    p.channel = 1 + i % 11;
    p.keyid = 1;
    std::string key;
    switch (i % 8) {
        case 0:
            p.sec_type = 0;
            break;
        case 1:
            p.sec_type = 1;
            key = "wep\"k";
            p.keyid = 2;
            p.authtype = 2;
            break;
        case 2:
            p.sec_type = 1;
            key = "0123456789abcdef0123456789";
            break;
        case 3:
            p.sec_type = 3;
            key = std::string(64, 'a');
            break;
        case 4:
            p.sec_type = 7;
            p.ieee8021x_type = 4;
            break;
        case 5:
            p.sec_type = 7;
            p.ieee8021x_type = 5;
            break;
        default:
            p.sec_type = i % 8 == 6 ? 5 : 6;
            key = "a \"quoted\" passphrase, number " + std::to_string(i);
            break;
    }
    strncpy(p.wpa_key, key.c_str(), sizeof(p.wpa_key) - 1);
    return p;
}

// Fills the list; false when a profile would be left out of the supplicant file.
bool FillList() {
    for (int i = 0; i < WISP_MAX_PROFILES; ++i) {
        sta_setting_list[i] = Profile(i);
        if (sta_profile_fault(sta_setting_list[i]) != nullptr) return false;
    }
    current_profile_num = WISP_MAX_PROFILES;
    connect_profile_num = 7;
    last_record_profile_num = 3;
    return true;
}

void BM_ProfileFileText(benchmark::State& state) {
    if (!FillList()) state.SkipWithError("a profile would be refused");
    for (auto _ : state) {
        std::string text = sta_profile_file_text();
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ProfileFileText);

void BM_SupplicantFileText(benchmark::State& state) {
    if (!FillList()) state.SkipWithError("a profile would be refused");
    const std::string sample = sta_supplicant_file_text();
    int networks = 0;
    for (size_t at = sample.find("network={"); at != std::string::npos;
         at = sample.find("network={", at + 1))
        ++networks;
    if (networks != WISP_MAX_PROFILES) state.SkipWithError("a network is missing");
    for (auto _ : state) {
        std::string text = sta_supplicant_file_text();
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_SupplicantFileText);

// One profile checked, by kind: 0 a 63-character WPA passphrase, 1 a 64-digit WPA key, 2 a
// 26-digit WEP key.
void BM_StaProfileFault(benchmark::State& state) {
    sta_setting_t p = Profile(state.range(0) == 1 ? 3 : state.range(0) == 2 ? 2 : 6);
    if (state.range(0) == 0) {
        memset(p.wpa_key, 0, sizeof(p.wpa_key));
        memset(p.wpa_key, 'p', 63);
        p.wpa_key[20] = '"';
    }
    if (sta_profile_fault(p) != nullptr) state.SkipWithError("the profile would be refused");
    for (auto _ : state) {
        benchmark::DoNotOptimize(sta_profile_fault(p));
    }
}
BENCHMARK(BM_StaProfileFault)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
