#ifndef WLAN_RADIO_CHANNEL_CANDIDATES_H
#define WLAN_RADIO_CHANNEL_CANDIDATES_H

#include <stddef.h>

#include "radio/extra_conf.h"
#include "wlan_config.h"

// Most channels a candidate or filtered list holds.
constexpr int kMaxAcsChannels = 32;
// Room of a comma-separated channel list text.
constexpr size_t kChannelTextSize = 128;

struct ChannelList {
    int chan[kMaxAcsChannels];
    int count;
};

// Splits comma-separated text into channels, in order, at most kMaxAcsChannels. A piece that is
// not one to three decimal digits (blanks around it allowed) naming a channel above 0 is
// skipped.
void parse_channel_text(const char* text, ChannelList* out);

// The channels the auto-channel scan may choose from, by band, region and auto_chan_select;
// the custom list of auto_chan_select 6 comes from extra.
void get_acs_candidates(const wlan_mgr_bss_config& bss, const RadioExtraConf& extra,
                        ChannelList* out);

#endif
