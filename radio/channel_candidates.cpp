#include "radio/channel_candidates.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "radio/bss_text.h"
#include "util/text.h"
#include "wlan_region.h"

namespace {

constexpr const char kDefault2gText[] = "1,6,11";
constexpr int kCustomAcsMode = 6;
// 5 GHz channels 52..140 need radar detection and are never offered to the scan.
constexpr long kFirstDfsChannel = 52;
constexpr long kLastDfsChannel = 140;

std::string trim_blanks(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The comma-separated pieces of text, empty pieces included.
template <typename Fn>
void for_each_piece(const std::string& text, Fn&& fn) {
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        fn(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return;
        start = comma + 1;
    }
}

// The region's 5 GHz channels without the radar channels, joined by commas.
std::string non_dfs_5g_text(const std::string& region_5g) {
    std::string joined;
    const char* p = region_5g.c_str();
    char* end = nullptr;
    for (long channel = strtol(p, &end, 10); end != p; channel = strtol(p, &end, 10)) {
        p = end;
        if (channel >= kFirstDfsChannel && channel <= kLastDfsChannel) continue;
        char number[24];
        snprintf(number, sizeof(number), "%s%ld", joined.empty() ? "" : ",", channel);
        joined += number;
    }
    return joined;
}

// The custom list of an acs_chan_list line when every channel of it is allowed in the region,
// else the fallback ("1,6,11" on 2.4 GHz, the default on 5 GHz).
std::string custom_acs_list(const RadioExtraConf& extra, const char* country, bool is_5g,
                            const std::string& default_5g) {
    std::string fallback = is_5g ? default_5g : kDefault2gText;
    std::string custom = extra.has_acs_chan_list ? extra.acs_chan_list : "";
    if (custom.empty()) return fallback;

    char region_5g[WLAN_REGION_CHAN_5G_SIZE] = {};
    long max_2g = 0;
    if (is_5g)
        get_chan_5G(country, region_5g);
    else
        max_2g = get_max_chan_2G(country);

    bool allowed = true;
    for_each_piece(custom, [&](const std::string& token) {
        if (token.empty() || !allowed) return;
        if (is_5g)
            allowed = strstr(region_5g, token.c_str()) != nullptr;
        else
            allowed = strtol(token.c_str(), nullptr, 10) <= max_2g;
    });
    return allowed ? custom : fallback;
}

std::string candidate_text_2g(int auto_chan_select) {
    switch (auto_chan_select) {
        case 2:
            return "1,6";
        case 4:
            return "6,11";
        case 5:
            return "11";
        default:
            return kDefault2gText;
    }
}

}  // namespace

void parse_channel_text(const char* text, ChannelList* out) {
    out->count = 0;
    if (text == nullptr) return;
    for_each_piece(text, [out](const std::string& piece) {
        if (out->count >= kMaxAcsChannels) return;
        // Each piece is read as a decimal number ("6x" is 6). Pieces without a channel number
        // (no digits, zero, negative or more than three digits) are left out.
        std::string text = trim_blanks(piece);
        size_t digits = strspn(text.c_str(), "0123456789");
        if (digits == 0 || digits > 3) return;
        int channel = atoi(text.c_str());
        if (channel > 0) out->chan[out->count++] = channel;
    });
}

void get_acs_candidates(const wlan_mgr_bss_config& bss, const RadioExtraConf& extra,
                        ChannelList* out) {
    std::string country = bss_text(bss.country);
    std::string text;
    if (bss.band_type == WLAN_MGR_BAND_5G) {
        char region_5g[WLAN_REGION_CHAN_5G_SIZE] = {};
        get_chan_5G(country.c_str(), region_5g);
        text = non_dfs_5g_text(region_5g);
        if (bss.auto_chan_select == kCustomAcsMode)
            text = custom_acs_list(extra, country.c_str(), true, text);
    } else if (bss.auto_chan_select == kCustomAcsMode) {
        text = custom_acs_list(extra, country.c_str(), false, std::string());
    } else {
        text = candidate_text_2g(bss.auto_chan_select);
    }
    char bounded[kChannelTextSize];
    copy_text(bounded, text.c_str());
    parse_channel_text(bounded, out);
}
