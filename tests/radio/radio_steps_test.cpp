#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "radio/radio_start_steps.h"
#include "wlan_radio.h"

namespace {

TEST(WpsNetworkSettings, KeyAndCodesFollowWpaAndPairwiseElseStayAsTheyWere) {
    const std::string psk(64, 'a');
    const int32_t wpapsk = BRCM_WPSCLI_AUTH_WPAPSK, aes = BRCM_WPSCLI_ENCR_AES;
    // 99, 98 and "old key" are what an earlier start left behind.
    const struct {
        int wpa;
        const char *pairwise, *passphrase, *psk, *key;
        int32_t auth, encr;
    } cases[] = {
        {0, "", "ignored1", "", "", BRCM_WPSCLI_AUTH_OPEN, BRCM_WPSCLI_ENCR_NONE},
        {3, "CCMP TKIP", "secret123", "", "secret123", wpapsk, aes},
        {3, "TKIP", "secret123", "", "secret123", wpapsk, BRCM_WPSCLI_ENCR_TKIP},
        {3, "CCMP", "", psk.c_str(), psk.c_str(), wpapsk, aes},
        {3, "GCMP", "secret123", "", "secret123", wpapsk, 98},
        {2, "TKIP", "secret123", "", "old key", 99, 98},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "wpa " << c.wpa << " " << c.pairwise);
        wlan_mgr_bss_config bss;
        memset(&bss, 0, sizeof(bss));
        strcpy(bss.ssid, "HomeAP");
        bss.wpa = c.wpa;
        strcpy(bss.wpa_pairwise, c.pairwise);
        strcpy(bss.wpa_passphrase, c.passphrase);
        strcpy(bss.wpa_psk, c.psk);
        brcm_wpscli_nw_settings nw;
        memset(&nw, 0, sizeof(nw));
        strcpy(nw.nw_key, "old key");
        nw.auth_type = 99;
        nw.encr_type = 98;
        nw.wep_index = 7;
        fill_wps_network_settings(&bss, &nw);
        EXPECT_STREQ(nw.ssid, "HomeAP");
        EXPECT_STREQ(nw.nw_key, c.key);
        EXPECT_EQ(nw.auth_type, c.auth);
        EXPECT_EQ(nw.encr_type, c.encr);
        EXPECT_EQ(nw.wep_index, 0);
    }
}

// 2^32 + 6 must not wrap to 6 in 32 bits.
TEST(ChanspecChannel, LeadingDigitsGiveTheChannelAnythingElseZero) {
    EXPECT_EQ(leading_channel_number("36/80 (0xe02a)\n"), 36u);
    for (const char* text :
         {"l6 (0x1006)", " 6", "", "4294967302", static_cast<const char*>(nullptr)})
        EXPECT_EQ(leading_channel_number(text), 0u) << (text ? text : "(null)");
}

std::string Replace(const char* src, const char* from, const char* to) {
    char dst[256];
    EXPECT_EQ(strrpl(dst, src, from, to), dst);
    return dst;
}

// Every occurrence replaced, left to right, without re-reading what it wrote; an empty pattern
// copies unchanged.
TEST(Strrpl, ReplacesEveryOccurrenceWithoutOverlapOrRescanning) {
    const char* const cases[][4] = {{".start and end.", ".", "!", "!start and end!"},
                                    {"no match", "x", "y", "no match"},
                                    {"a-b-c", "-", "", "abc"},
                                    {"aaaaa", "aa", "b", "bba"},
                                    {"xx", "x", "xx", "xxxx"},
                                    {"abc", "", "x", "abc"}};
    for (const auto& c : cases) EXPECT_EQ(Replace(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1];
}

}  // namespace
