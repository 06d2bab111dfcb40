#include "radio/channel_section.h"

#include "radio/acs_section.h"
#include "radio/bss_text.h"
#include "radio/channel_candidates.h"
#include "wlan_coex.h"

namespace {

int write_bandwidth(ScriptText& out, const wlan_mgr_bss_config& bss, const RadioExtraConf& extra) {
    std::string ht_capab = bss_text(bss.ht_capab);
    int width_mode = kWidth20;
    if (ht_capab.find("[HT40+]") != std::string::npos)
        width_mode = kWidth40Plus;
    else if (ht_capab.find("[HT40-]") != std::string::npos)
        width_mode = kWidth40Minus;

    if (width_mode == kWidth20)
        out.Add("${WL} mimo_bw_cap 0\n");
    else if (extra.obss_coex_off)
        out.Add("${WL} obss_coex 0\n${WL} mimo_bw_cap 1\n");
    else
        out.Add("${WL} obss_coex 1\n${WL} mimo_bw_cap 1\n");
    return width_mode;
}

}  // namespace

void write_channel_section(ScriptText& out, const wlan_mgr_bss_config& bss,
                           const RadioExtraConf& extra) {
    ChannelList candidates;
    get_acs_candidates(bss, extra, &candidates);
    int width_mode = write_bandwidth(out, bss, extra);

    bcm_lte_coex_set_selected_channel(
        bss.auto_chan_select != 0 ? 0u : static_cast<unsigned int>(bss.channel));
    ChannelList filtered;
    bcm_lte_coex_get_acs_chanlist(candidates.chan, candidates.count, filtered.chan, &filtered.count,
                                  bss.band_type);

    // On 2.4 GHz a list the LTE logic left whole lets the radio scan every channel.
    bool plain = bss.band_type == WLAN_MGR_BAND_2_4G && filtered.count == candidates.count;
    write_acs_section(out, filtered, width_mode, plain);
}
