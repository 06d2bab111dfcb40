#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "config/maclist.h"
#include "tests/config/config_test_support.h"

using ConfigReader = SandboxTest;

TEST_F(ConfigReader, MissingFileGivesAnAllZeroRecordAndSucceeds) {
    ConfigPtr bss = ReadConfig("/etc/no-such.conf");
    wlan_mgr_bss_config zero;
    memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(memcmp(bss.get(), &zero, sizeof(zero)), 0);
    EXPECT_TRUE(HasLevel5("Could not open configuration file '/etc/no-such.conf' for reading."));
}

// Text values are taken unchanged after the first "="; decimals accept space and sign and
// stop at the first non-digit; channel_num sets the channel and later lines win. Line numbers
// count comments and empty lines. Unknown keys are kept as lines in file order.
TEST_F(ConfigReader, ValuesAreParsedAsTheDeviceWritesThem) {
    ConfigPtr bss = ReadConfigText(
        "ssid= my=net \n# comment\n\nno equals sign\nchannel=  11abc\nignore_broadcast_ssid=x\n"
        "ap_isolate=+1\nmax_num_sta=8\nht2040_coex_disable=1\naccept_mac_file=/etc/accept\n"
        "acs_chan_list=1,6,11\n");
    EXPECT_STREQ(bss->ssid, " my=net ");
    ASSERT_EQ(bss->num_extra_conf, 3);
    EXPECT_STREQ(bss->extra_conf[0], "max_num_sta=8");
    EXPECT_STREQ(bss->extra_conf[1], "ht2040_coex_disable=1");
    EXPECT_STREQ(bss->extra_conf[2], "acs_chan_list=1,6,11");
    EXPECT_EQ(bss->channel, 11);
    EXPECT_EQ(bss->ignore_broadcast_ssid, 0);
    EXPECT_EQ(bss->ap_isolate, 1);
    EXPECT_TRUE(HasLevel5("Line 4: invalid line 'no equals sign'"));
    EXPECT_EQ(ReadConfigText("channel=1\nchannel_num=6\n")->channel, 6);
    EXPECT_EQ(ReadConfigText("channel=1\nchannel_num=6\nchannel=11\n")->channel, 11);
}

// The later of passphrase and psk wins and clears the other; keys of the wrong length are
// dropped and leave the earlier key in place.
TEST_F(ConfigReader, PassphraseAndPskExcludeEachOtherAndNeedTheirLength) {
    const std::string psk(64, 'a');
    ConfigPtr psk_last = ReadConfigText("wpa_passphrase=secret123\nwpa_psk=" + psk + "\n");
    EXPECT_STREQ(psk_last->wpa_passphrase, "");
    EXPECT_EQ(psk_last->wpa_psk, psk);
    ConfigPtr passphrase_last = ReadConfigText("wpa_psk=" + psk + "\nwpa_passphrase=secret123\n");
    EXPECT_STREQ(passphrase_last->wpa_passphrase, "secret123");
    EXPECT_STREQ(passphrase_last->wpa_psk, "");

    ConfigPtr bss = ReadConfigText(
        "wpa_passphrase=goodpass\nwpa_passphrase=1234567\nwpa_passphrase=" + std::string(64, 'p') +
        "\nwpa_psk=" + std::string(63, 'f') + "\nauth_algs=0\n");
    EXPECT_STREQ(bss->wpa_passphrase, "goodpass");
    EXPECT_STREQ(bss->wpa_psk, "");
    EXPECT_TRUE(HasLevel5("Line 3: invalid WPA passphrase length 64 (expected 8..63)"));
    // A suspicious value is reported but kept.
    EXPECT_EQ(bss->auth_algs, 0);
    EXPECT_TRUE(HasLevel5("Line 5: no authentication algorithms allowed"));
}

// Values longer than their field are cut to it, with a message.
TEST_F(ConfigReader, OverLongValuesAndUnknownLinesAreCutToTheirFields) {
    ConfigPtr bss = ReadConfigText("ssid=x\ncountry_code=DEU\nht_capab=" + std::string(70, 'h') +
                                   "\nvendor_elements=" + std::string(80, 'e') + "\n");
    EXPECT_STREQ(bss->country, "DE");
    EXPECT_EQ(bss->ht_capab, std::string(64, 'h'));
    ASSERT_EQ(bss->num_extra_conf, 1);
    EXPECT_EQ(bss->extra_conf[0], "vendor_elements=" + std::string(47, 'e'));
    EXPECT_TRUE(HasLevel5("Line 2: value of country_code cut to 2 characters"));
    EXPECT_TRUE(HasLevel5("Line 4: line of vendor_elements cut to 63 characters"));
}

// Lines longer than the read buffer arrive in pieces that count as lines of their own; binary
// bytes end the text at the first NUL.
TEST_F(ConfigReader, LinesOverTheBufferArriveInPiecesAndNulEndsTheText) {
    // 5 + 122 characters fill the 127-character buffer; the remaining 8 form line 2.
    ConfigPtr bss = ReadConfigText("ssid=" + std::string(130, 'a') + "\nchannel=6\nbad\n");
    EXPECT_EQ(bss->ssid, std::string(32, 'a'));
    EXPECT_TRUE(HasLevel5("Line 2: invalid line 'aaaaaaaa'"));
    EXPECT_EQ(bss->channel, 6);
    EXPECT_TRUE(HasLevel5("Line 4: invalid line 'bad'"));

    std::string content = "ssid=ab";
    content += '\0';
    content += "cd\nchannel=3\n";
    content += std::string(300, '\0');
    bss = ReadConfigText(content);
    EXPECT_STREQ(bss->ssid, "ab");
    EXPECT_EQ(bss->channel, 3);
}

// Without a deny_mac_file line the default list is read if there.
TEST_F(ConfigReader, DefaultDenyMacFileIsReadIfThere) {
    ConfigPtr missing = ReadConfigText("ssid=x\n");
    EXPECT_STREQ(missing->deny_mac_file, "/etc/config/hostapd.deny");
    EXPECT_TRUE(HasLevel5("Failed to read accept_mac_file '/etc/config/hostapd.deny'"));

    sandbox::WriteFile("/etc/config/hostapd.deny", "aa:bb:cc:dd:ee:ff\n");
    ConfigPtr bss = ReadConfigText("ssid=x\n");
    ASSERT_EQ(bss->num_accept_mac, 1);
    EXPECT_STREQ(bss->accept_mac[0].mac, "aa:bb:cc:dd:ee:ff");
}

using MacListFile = SandboxTest;

namespace {

// Reads a MAC list file; entries come back as "mac|description".
std::vector<std::string> ReadList(const char* path, int rc) {
    wlan_mgr_mac_entry* entries = nullptr;
    int32_t count = 0;
    EXPECT_EQ(wlan_mgr_config_read_maclist(path, &entries, &count), rc);
    std::vector<std::string> list;
    for (int32_t i = 0; i < count; ++i) {
        const wlan_mgr_mac_entry& e = entries[i];
        list.push_back(std::string(e.mac) + "|" + e.description);
        // Zero-padded: hosts copy and compare entries whole.
        for (const std::string& field :
             {std::string(e.mac, sizeof(e.mac)), std::string(e.description, sizeof(e.description))})
            EXPECT_EQ(field.find_first_not_of('\0', strlen(field.c_str())), std::string::npos);
    }
    free(entries);
    return list;
}

}  // namespace

// A description belongs to the next address only and may follow other text in its comment;
// the first seventeen characters of a line are the address, unchecked. A missing file fails.
TEST_F(MacListFile, ReadsAddressesWithTheDescriptionBeforeThem) {
    const std::string long_description(40, 'd');
    const struct {
        std::string file;
        std::vector<std::string> entries;
    } cases[] = {
        {"# blocked DESCRIPTION:tv set\n# other note\n\naa:bb:cc:dd:ee:ff\n11:22:33:44:55:66\n",
         {"aa:bb:cc:dd:ee:ff|tv set", "11:22:33:44:55:66|"}},
        {"AA-BB-CC-DD-EE-FF trailing\nshort\n", {"AA-BB-CC-DD-EE-FF|", "short|"}},
        {"#DESCRIPTION:" + long_description + "\naa:bb:cc:dd:ee:ff\n",
         {"aa:bb:cc:dd:ee:ff|" + long_description.substr(0, 32)}},
    };
    for (const auto& c : cases) {
        sandbox::WriteFile("/etc/config/list", c.file);
        EXPECT_EQ(ReadList("/etc/config/list", 0), c.entries) << c.file;
    }
    EXPECT_TRUE(ReadList("/etc/config/none", -1).empty());
    EXPECT_TRUE(HasLevel5("MAC list file '/etc/config/none' not found."));
}
