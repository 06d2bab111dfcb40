#ifndef WLAN_RADIO_ACS_SECTION_H
#define WLAN_RADIO_ACS_SECTION_H

#include <stddef.h>

#include "radio/channel_candidates.h"
#include "radio/script_text.h"

// Room of the channel list given to "autochannel 1 -c", terminator included.
constexpr size_t kAcsListTextSize = 68;

// Channel bandwidth of the script: 0 20 MHz, 1 40 MHz below ([HT40-]), 2 40 MHz above ([HT40+]).
enum RadioWidthMode { kWidth20 = 0, kWidth40Minus = 1, kWidth40Plus = 2 };

// Formats the -c list: each channel followed by a comma, with the side-band letter ("u" upper,
// "l" lower) of get_chan_width_support when the width is 40 MHz. Channels that no longer fit
// whole are left out. Returns how many channels the text holds.
int format_acs_list_text(const ChannelList& list, int width_mode, char (&text)[kAcsListTextSize]);

// Writes the auto-channel block: scan with an empty SSID, among the listed channels unless
// plain is set or the list is empty, poll until the radio has chosen, apply the choice.
void write_acs_section(ScriptText& out, const ChannelList& list, int width_mode, bool plain);

#endif
