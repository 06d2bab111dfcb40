#include "radio/channel_candidates.h"
#include "radio/extra_conf.h"
#include "tests/radio/radio_env.h"

// Candidate channels by band, region and auto_chan_select, and the auto-channel block that
// the script writes from the list the LTE coexistence logic leaves.
using ChannelCandidates = SandboxTest;
using AcsSection = RadioScriptTest;

namespace {

std::vector<int> Candidates(TestBss& bss) {
    const wlan_mgr_bss_config* record = bss.get();
    ChannelList list;
    get_acs_candidates(*record, read_radio_extra_conf(*record), &list);
    return std::vector<int>(list.chan, list.chan + list.count);
}

std::vector<int> Parse(const char* text) {
    ChannelList list;
    parse_channel_text(text, &list);
    return std::vector<int>(list.chan, list.chan + list.count);
}

// The channel-list line of the auto-channel block ("" for the plain form).
std::string ListLine(const std::string& script) {
    size_t at = script.find("${WL} autochannel 1");
    if (at == std::string::npos) return "<no autochannel 1>";
    size_t end = script.find('\n', at);
    return script.substr(at, end - at);
}

using V = std::vector<int>;

}  // namespace

// 2.4 GHz by auto_chan_select (-1 to 7); 5 GHz the region list without radar channels; a
// custom list, checked against the region, in mode 6 only (the last non-empty line wins).
TEST_F(ChannelCandidates, ByBandRegionModeAndCustomList) {
    const V by_mode[] = {{1, 6, 11}, {1, 6, 11}, {1, 6, 11}, {1, 6},    {1, 6, 11},
                         {6, 11},    {11},       {1, 6, 11}, {1, 6, 11}};
    for (int mode = -1; mode <= 7; ++mode) {
        TestBss bss;
        bss->auto_chan_select = mode;
        EXPECT_EQ(Candidates(bss), by_mode[mode + 1]) << "auto_chan_select " << mode;
    }
    struct Case {
        int band_type, auto_chan_select;
        const char* country;
        std::vector<std::string> lines;
        V expected;
    };
    const Case cases[] = {{1, 1, "XX", {}, {}},
                          {0, 6, "US", {"acs_chan_list=1,6,13"}, {1, 6, 11}},
                          {0, 6, "JP", {"acs_chan_list=14"}, {14}},
                          {0, 6, "US", {"acs_chan_list=2,3", "acs_chan_list=4,5"}, {4, 5}},
                          {0, 2, "US", {"acs_chan_list=11"}, {1, 6}},
                          {1, 6, "CN", {"acs_chan_list=36"}, {149, 153, 157, 161, 165}}};
    for (const Case& c : cases) {
        TestBss bss;
        bss->band_type = c.band_type;
        bss->auto_chan_select = c.auto_chan_select;
        TestBss::Set(bss->country, c.country);
        for (const std::string& line : c.lines) bss.AddExtra(line);
        EXPECT_EQ(Candidates(bss), c.expected)
            << "band " << c.band_type << " acs " << c.auto_chan_select << " " << c.country << " "
            << (c.lines.empty() ? "" : c.lines.back());
    }
}

TEST(ChannelText, PiecesAreReadAsDecimalNumbersAndAtMost32ChannelsKept) {
    EXPECT_EQ(Parse("1,x,,6, 11 ,1234,-3,0,6a,"), (V{1, 6, 11, 6}));
    std::string text;
    for (int i = 1; i <= 40; ++i) text += std::to_string(i) + ",";
    V parsed = Parse(text.c_str());
    ASSERT_EQ(parsed.size(), 32u);
    EXPECT_EQ(parsed.back(), 32);
}

TEST_F(AcsSection, ListLineFromCandidatesSideBandsAndTheLteMask) {
    const struct {
        int band_type, wmode, auto_chan_select, channel;
        const char *ht_capab, *country, *extra;
        int32_t lte_mask;
        const char* list;
        unsigned oper_chan;  // what coexistence learns as the operating channel
    } cases[] = {
        // Plain form when the LTE mask leaves every candidate or the region has none.
        {1, 5, 1, 0, "[SHORT-GI-20]", "SY", nullptr, 0, "", 0},
        // A fixed channel becomes a one-entry list, with its side band on 5 GHz HT40+.
        {0, 5, 0, 6, "[SHORT-GI-20]", "US", nullptr, 0, " -c 6,", 6},
        {1, 6, 0, 36, "[HT40+]", "US", nullptr, 0, " -c 36l,", 36},
        {1, 6, 1, 44, "[HT40+]", "US", nullptr, 0, " -c 36l,40u,44l,48u,149l,153u,157l,161u,165,",
         0},
        // Only band 0 takes the plain form: any other band code lists the candidates.
        {2, 5, 1, 0, "[SHORT-GI-20]", "US", nullptr, 0, " -c 1,6,11,", 0},
        // 0x7FDFFB: every channel but 3.
        {0, 5, 6, 0, "[HT40-]", "US", "acs_chan_list=1,3,6,11", 0x7FDFFB, " -c 1l,6u,11u,", 0},
    };
    for (const auto& c : cases) {
        agent->lte_coex = lte_coex_state_t{};
        agent->lte_coex.acs_chan_mask = c.lte_mask;
        TestBss bss;
        bss->band_type = c.band_type;
        bss->wmode = c.wmode;
        bss->auto_chan_select = c.auto_chan_select;
        bss->channel = c.channel;
        TestBss::Set(bss->ht_capab, c.ht_capab);
        TestBss::Set(bss->country, c.country);
        if (c.extra != nullptr) bss.AddExtra(c.extra);
        EXPECT_EQ(ListLine(GenerateAp(bss)), std::string("${WL} autochannel 1") + c.list);
        EXPECT_EQ(agent->lte_coex.ap_oper_chan, c.oper_chan) << c.list;
    }
}

TEST_F(AcsSection, OverlongCustomListIsCutWithAMessage) {
    TestBss bss;
    bss->band_type = 1;
    bss->auto_chan_select = 6;
    TestBss::Set(bss->ht_capab, "[HT40+]");
    std::string value = "4";
    for (int i = 1; i < 25; ++i) value += ",4";
    bss.AddExtra("acs_chan_list=" + value);
    // Cut at a whole entry: 22 entries of three characters fill the room.
    std::string kept;
    for (int i = 0; i < 22; ++i) kept += "4l,";
    EXPECT_EQ(ListLine(GenerateAp(bss)), "${WL} autochannel 1 -c " + kept);
    EXPECT_TRUE(HasLevel5("autochannel list too long: 22 of 25 channels kept"));
}
