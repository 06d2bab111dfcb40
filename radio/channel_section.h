#ifndef WLAN_RADIO_CHANNEL_SECTION_H
#define WLAN_RADIO_CHANNEL_SECTION_H

#include "radio/extra_conf.h"
#include "radio/script_text.h"
#include "wlan_config.h"

// Writes the bandwidth lines and the auto-channel block: builds the candidate channels, tells
// the LTE coexistence logic the configured channel (0 when the channel is chosen automatically)
// and lets it narrow the candidates.
void write_channel_section(ScriptText& out, const wlan_mgr_bss_config& bss,
                           const RadioExtraConf& extra);

#endif
