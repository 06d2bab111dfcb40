#include "radio/bss_text.h"
#include "radio/radio_script.h"
#include "util/text.h"
#include "wlan_region.h"

namespace {

// Of the modes, only 11n only exists on both bands; every other block applies to either band.
constexpr int kAnyBand = -1;

struct ModeBlock {
    int wmode;
    int band_type;  // a wlan_mgr_band, or kAnyBand
    const char* comment;
    const char* commands;
};

const ModeBlock kModeBlocks[] = {
    {WLAN_MGR_WMODE_11B, kAnyBand, "\n#set mode 11b\n",
     "${WL} band  b\n${WL} nmode 0\n${WL} gmode 0\n${WL} bg_rate auto\n"},
    {WLAN_MGR_WMODE_11G_ONLY, kAnyBand, "\n#set mode 11g only\n",
     "${WL} band  b\n${WL} nmode 0\n${WL} gmode 2\n${WL} bg_rate auto\n"},
    {WLAN_MGR_WMODE_11N_ONLY, WLAN_MGR_BAND_5G, "\n#set mode 11n only 5G\n",
     "${WL} band  a\n${WL} nmode 1\n${WL} nreqd 1\n${WL} a_rate auto\n"},
    {WLAN_MGR_WMODE_11N_ONLY, WLAN_MGR_BAND_2_4G, "\n#set mode 11n only 2.4G\n",
     "${WL} band  b\n${WL} nmode 1\n${WL} nreqd 1\n${WL} bg_rate auto\n"},
    {WLAN_MGR_WMODE_11BG, kAnyBand, "\n#set mode 11bg\n",
     "${WL} band  b\n${WL} nmode 0\n${WL} gmode 1\n${WL} bg_rate auto\n"},
    {WLAN_MGR_WMODE_11BGN, kAnyBand, "\n#set mode 11bgn\n",
     "${WL} band  b\n${WL} nmode 1\n${WL} nreqd 0\n${WL} bg_rate auto\n"},
    {WLAN_MGR_WMODE_11AN, kAnyBand, "\n#set mode 11an\n",
     "${WL} band  a\n${WL} nmode 1\n${WL} nreqd 0\n${WL} a_rate auto\n"},
    {WLAN_MGR_WMODE_11A, kAnyBand, "\n#set mode 11a\n",
     "${WL} band  a\n${WL} nmode 0\n${WL} a_rate auto\n"},
};

const ModeBlock* find_mode_block(int wmode, int band_type) {
    for (const ModeBlock& block : kModeBlocks)
        if (block.wmode == wmode && (block.band_type == kAnyBand || block.band_type == band_type))
            return &block;
    return nullptr;
}

}  // namespace

bool wl_country_argument(const wlan_mgr_bss_config& bss, std::string* argument) {
    std::string country = bss_text(bss.country);
    if (!country.empty() && !is_country_code(country.c_str())) return false;
    char code[WLAN_REGION_CODE_SIZE] = {};
    get_wl_country_code(country.c_str(), code);
    *argument = code;
    int revision = get_wl_regv_code(code);
    if (revision != -1) *argument += "/" + std::to_string(revision);
    return true;
}

void write_country_and_mode(ScriptText& out, const wlan_mgr_bss_config& bss,
                            const std::string& country) {
    out.Add("\n#Step 3: configure the country and 802.11 mode\n");
    out.Printf("${WL} country %s\n", country.c_str());

    const ModeBlock* block = find_mode_block(bss.wmode, bss.band_type);
    if (block == nullptr) return;
    out.Add(block->comment);
    out.Add(block->commands);
}
