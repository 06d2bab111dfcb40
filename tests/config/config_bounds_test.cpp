#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "tests/config/config_test_support.h"

// Values longer than their field are cut to it, with a message; lines longer than the read
// buffer arrive in pieces that count as lines of their own.
using ConfigBounds = SandboxTest;

TEST_F(ConfigBounds, OverLongValuesAndUnknownLinesAreCutToTheirFields) {
    const std::string path = "/etc/config/" + std::string(70, 'd');
    ConfigPtr bss = ReadConfigText(
        "ssid=" + std::string(40, 's') + "\ncountry_code=DEU\n" +
        "ht_capab=" + std::string(70, 'h') + "\n" + "wpa_key_mgmt=" + std::string(40, 'k') + "\n" +
        "wpa_pairwise=" + std::string(40, 'p') + "\n" + "deny_mac_file=" + path + "\n" +
        "vendor_elements=" + std::string(80, 'e') + "\n");
    EXPECT_EQ(bss->ssid, std::string(32, 's'));
    EXPECT_STREQ(bss->country, "DE");
    EXPECT_EQ(bss->ht_capab, std::string(64, 'h'));
    EXPECT_EQ(bss->wpa_key_mgmt, std::string(32, 'k'));
    EXPECT_EQ(bss->wpa_pairwise, std::string(32, 'p'));
    EXPECT_EQ(bss->deny_mac_file, path.substr(0, 64));
    ASSERT_EQ(bss->num_extra_conf, 1);
    EXPECT_EQ(bss->extra_conf[0], "vendor_elements=" + std::string(47, 'e'));
    for (const char* message : {"Line 1: value of ssid cut to 32 characters",
                                "Line 2: value of country_code cut to 2 characters",
                                "Line 3: value of ht_capab cut to 64 characters",
                                "Line 4: value of wpa_key_mgmt cut to 32 characters",
                                "Line 5: value of wpa_pairwise cut to 32 characters",
                                "Line 6: value of deny_mac_file cut to 64 characters",
                                "Line 7: line of vendor_elements cut to 63 characters"})
        EXPECT_TRUE(HasLevel5(message)) << message;
}

TEST_F(ConfigBounds, LinesOverTheBufferArriveInPieces) {
    // 5 + 122 characters fill the 127-character buffer; the remaining 8 form line 2.
    ConfigPtr bss = ReadConfigText("ssid=" + std::string(130, 'a') + "\nchannel=6\nbad\n");
    EXPECT_EQ(bss->ssid, std::string(32, 'a'));
    EXPECT_TRUE(HasLevel5("Line 1: value of ssid cut to 32 characters"));
    EXPECT_TRUE(HasLevel5("Line 2: invalid line 'aaaaaaaa'"));
    EXPECT_EQ(bss->channel, 6);
    EXPECT_TRUE(HasLevel5("Line 4: invalid line 'bad'"));
}

TEST_F(ConfigBounds, APieceOfALongLineIsReadAsASettingOfItsOwn) {
    std::string comment_key = "x_note=" + std::string(120, 'n');
    ASSERT_EQ(comment_key.size(), 127u);
    ConfigPtr bss = ReadConfigText(comment_key + "wpa=2\n");
    EXPECT_EQ(bss->wpa, 2);
    ASSERT_EQ(bss->num_extra_conf, 1);
    EXPECT_EQ(strlen(bss->extra_conf[0]), 63u);
}

TEST_F(ConfigBounds, BinaryBytesEndTheTextAtTheFirstNul) {
    std::string content = "ssid=ab";
    content += '\0';
    content += "cd\nchannel=3\n\xff\xfe=\x01\n";
    content += std::string(300, '\0');
    ConfigPtr bss = ReadConfigText(content);
    EXPECT_STREQ(bss->ssid, "ab");
    EXPECT_EQ(bss->channel, 3);
    ASSERT_EQ(bss->num_extra_conf, 1);
    EXPECT_STREQ(bss->extra_conf[0], "\xff\xfe=\x01");
}
