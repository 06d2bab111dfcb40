#include "radio/acs_section.h"

#include <stdio.h>
#include <string.h>

#include "util/log.h"
#include "wlan_region.h"

namespace {

const char* side_band_suffix(int width_mode, int channel) {
    if (width_mode != kWidth40Minus && width_mode != kWidth40Plus) return "";
    switch (get_chan_width_support(nullptr, channel)) {
        case 1:
            return "u";
        case 2:
            return "l";
        default:
            return "";
    }
}

}  // namespace

int format_acs_list_text(const ChannelList& list, int width_mode, char (&text)[kAcsListTextSize]) {
    text[0] = '\0';
    size_t used = 0;
    int kept = 0;
    for (; kept < list.count; ++kept) {
        int channel = list.chan[kept];
        char entry[24];
        snprintf(entry, sizeof(entry), "%d%s,", channel, side_band_suffix(width_mode, channel));
        size_t length = strlen(entry);
        if (used + length >= sizeof(text)) break;
        memcpy(text + used, entry, length + 1);
        used += length;
    }
    return kept;
}

void write_acs_section(ScriptText& out, const ChannelList& list, int width_mode, bool plain) {
    out.Add("\n${WL} down\n${WL} spect 0\n${WL} ssid \"\"\n${WL} scansuppress 0\n${WL} up\n");
    if (plain || list.count == 0) {
        out.Add("\n${WL} autochannel 1\n${WL} channel\n");
    } else {
        char text[kAcsListTextSize];
        int kept = format_acs_list_text(list, width_mode, text);
        if (kept < list.count)
            WLAN_LOG5("autochannel list too long: %d of %d channels kept", kept, list.count);
        out.Printf("\n${WL} autochannel 1 -c %s\n${WL} channel\n", text);
    }
    out.Add("\n${WL} autochannel\nrc=$?\n");
    out.Add("while [ $rc -ne 0 ]; do\n\tusleep 100000\n\t${WL} autochannel\n\trc=$?\ndone\n\n");
    out.Add("${WL} autochannel 2\n${WL} channel\n${WL} down\n${WL} spect 1\n");
}
