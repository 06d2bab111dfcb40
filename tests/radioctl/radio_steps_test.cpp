#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "radio/radio_start_steps.h"

namespace {

class WpsNetworkSettings : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&bss_, 0, sizeof(bss_));
        strcpy(bss_.ssid, "HomeAP");
        memset(&nw_, 0, sizeof(nw_));
        // What an earlier start left behind.
        strcpy(nw_.nw_key, "old key");
        nw_.auth_type = 99;
        nw_.encr_type = 98;
        nw_.wep_index = 7;
    }
    wlan_mgr_bss_config bss_;
    brcm_wpscli_nw_settings nw_;
};

TEST_F(WpsNetworkSettings, OpenNetworkHasNoKeyAndNoSecurity) {
    bss_.wpa = 0;
    strcpy(bss_.wpa_passphrase, "ignored1");
    fill_wps_network_settings(&bss_, &nw_);
    EXPECT_STREQ(nw_.ssid, "HomeAP");
    EXPECT_STREQ(nw_.nw_key, "");
    EXPECT_EQ(nw_.auth_type, BRCM_WPSCLI_AUTH_OPEN);
    EXPECT_EQ(nw_.encr_type, BRCM_WPSCLI_ENCR_NONE);
    EXPECT_EQ(nw_.wep_index, 0);
}

TEST_F(WpsNetworkSettings, MixedPairwiseWithPassphraseUsesCcmp) {
    bss_.wpa = 3;
    strcpy(bss_.wpa_pairwise, "CCMP TKIP");
    strcpy(bss_.wpa_passphrase, "secret123");
    fill_wps_network_settings(&bss_, &nw_);
    EXPECT_EQ(nw_.auth_type, BRCM_WPSCLI_AUTH_WPAPSK);
    EXPECT_EQ(nw_.encr_type, BRCM_WPSCLI_ENCR_AES);
    EXPECT_STREQ(nw_.nw_key, "secret123");
    EXPECT_EQ(nw_.wep_index, 0);
}

TEST_F(WpsNetworkSettings, TkipPairwiseUsesTkip) {
    bss_.wpa = 3;
    strcpy(bss_.wpa_pairwise, "TKIP");
    strcpy(bss_.wpa_passphrase, "secret123");
    fill_wps_network_settings(&bss_, &nw_);
    EXPECT_EQ(nw_.encr_type, BRCM_WPSCLI_ENCR_TKIP);
}

TEST_F(WpsNetworkSettings, PreSharedKeyBecomesTheNetworkKeyWhole) {
    std::string psk(64, 'a');
    bss_.wpa = 3;
    strcpy(bss_.wpa_pairwise, "CCMP");
    strcpy(bss_.wpa_psk, psk.c_str());
    fill_wps_network_settings(&bss_, &nw_);
    EXPECT_EQ(std::string(nw_.nw_key), psk);
    EXPECT_EQ(nw_.encr_type, BRCM_WPSCLI_ENCR_AES);
}

TEST_F(WpsNetworkSettings, UnknownPairwiseKeepsTheEncryptionCode) {
    bss_.wpa = 3;
    strcpy(bss_.wpa_pairwise, "GCMP");
    strcpy(bss_.wpa_passphrase, "secret123");
    fill_wps_network_settings(&bss_, &nw_);
    EXPECT_EQ(nw_.auth_type, BRCM_WPSCLI_AUTH_WPAPSK);
    EXPECT_EQ(nw_.encr_type, 98);
}

TEST_F(WpsNetworkSettings, OtherWpaValuesKeepKeyAndCodesButTakeTheSsid) {
    bss_.wpa = 2;
    strcpy(bss_.wpa_pairwise, "TKIP");
    strcpy(bss_.wpa_passphrase, "secret123");
    fill_wps_network_settings(&bss_, &nw_);
    EXPECT_STREQ(nw_.nw_key, "old key");
    EXPECT_EQ(nw_.auth_type, 99);
    EXPECT_EQ(nw_.encr_type, 98);
    EXPECT_STREQ(nw_.ssid, "HomeAP");
    EXPECT_EQ(nw_.wep_index, 0);
}

TEST(ChanspecChannel, LeadingDigitsGiveTheChannel) {
    EXPECT_EQ(leading_channel_number("36/80 (0xe02a)\n"), 36u);
    EXPECT_EQ(leading_channel_number("6 (0x1006)\n"), 6u);
    EXPECT_EQ(leading_channel_number("165\n"), 165u);
    EXPECT_EQ(leading_channel_number("11u (0xd90b)"), 11u);
}

TEST(ChanspecChannel, LineNotStartingWithADigitGivesZero) {
    EXPECT_EQ(leading_channel_number("l6 (0x1006)"), 0u);
    EXPECT_EQ(leading_channel_number(" 6"), 0u);
    EXPECT_EQ(leading_channel_number("-6"), 0u);
    EXPECT_EQ(leading_channel_number(""), 0u);
    EXPECT_EQ(leading_channel_number(nullptr), 0u);
}

TEST(ChanspecChannel, OverlongNumberGivesZeroInsteadOfWrappingAround) {
    // 2^32 + 6 would wrap to 6 in 32 bits.
    EXPECT_EQ(leading_channel_number("4294967302"), 0u);
    EXPECT_EQ(leading_channel_number(std::string(50, '9').c_str()), 0u);
}

}  // namespace
