#include "tests/radio/radio_test_support.h"

// The access point plus station script: same radio set-up as the AP script, then the station
// interface, the AP on wl0.1 and wpa_supplicant.
using ApStaScript = RadioScriptTest;

TEST_F(ApStaScript, WholeScriptForASecured24GhzRepeater) {
    TestBss bss;
    TestBss::Set(bss->wpa_pairwise, "CCMP TKIP");
    const std::string expected =
        std::string("#!/bin/sh\n") +
        "\n#Get parameters\nWL=\"$1\"\nBSSID=\"$2\"\nSTA_BSSID=\"$3\"\n" +
        "STA_NAME=\"eth0\"\nAP_NAME=\"wl0.1\"\n" + "PMK=\"secret123\"\n" +
        "\n#Step 1: Turn off the radio\n${WL} down\n" +
        "\n#Step 2: configure the basic parameters including Wi-Fi working mode\n" +
        "${WL} mbss 1\n${WL} apsta 1\n${WL} ap 1\n${WL} mpc 0\n" +
        "\n#Step 3: configure the country and 802.11 mode\n" + "${WL} country US\n" +
        "\n#set mode 11bgn\n" +
        "${WL} band  b\n${WL} nmode 1\n${WL} nreqd 0\n${WL} bg_rate auto\n" +
        "\n#Step 4: configure RF parameters including the bandwidth and rate\n" +
        "${WL} sgi_tx -1\n${WL} sgi_rx 3\n" + "\n#Step 5: Configure the channel\n" +
        "#Note this can be replace with the 'auto channel command sequence'\n" +
        "${WL} mimo_bw_cap 0\n" + kAcsPlainBlock +
        "\n#Step 6: configure the encryption information, SSID feature for each interface\n" +
        "${WL} maxassoc 9\n" + "#Step 6A for STA\n# 6A.1 create the interface\n" +
        "${WL} -i ${STA_NAME} cur_etheraddr ${STA_BSSID}\n" +
        "\n#Step 6B for AP\n# 6B.1 create the interface\n" + "${WL} bss -C 1 down\n" +
        "${WL} ssid -C 1 \"HomeAP\"\n" +
        "# Here should not configure the AP2 MAC since it has been limited\n" +
        "${WL} -i ${AP_NAME} cur_etheraddr ${BSSID}\n" + "\n# 6B.2 set encryption\n" +
        "${WL} -i ${AP_NAME} wsec 0x06\n${WL} -i ${AP_NAME} sup_wpa 1\n" +
        "${WL} -i ${AP_NAME} wpa_auth 0x84\n${WL} -i ${AP_NAME} set_pmk \"${PMK}\"\n" +
        "# 6B.3 set other feature\n" + "${WL} -i ${AP_NAME} closed 0\n" +
        "${WL} -i ${AP_NAME} ap_isolate 0\n${WL} -i ${AP_NAME} bss_maxassoc 9\n" +
        "\n#Step 7: To make channel competition more strong\n" +
        "${WL} -i ${AP_NAME} wme_ac ap be aifsn 1 ecwmin 2 ecwmax 3\n" +
        "${WL} -i ${AP_NAME} dtim 1\n" + "${WL} -i ${AP_NAME} new_wme_show 1\n" +
        "\n#Step 8: Take all parameter effect\n# enable all\n${WL} up\nusleep 200000\n" +
        "${WL} bss -C 1 up\n" + "\n#Step 9: Do extra work accordingly\n\n" +
        "wpa_supplicant -B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n";
    EXPECT_EQ(GenerateApSta(bss), expected);
}

TEST_F(ApStaScript, OpenHiddenApSideWithIsolationRequested) {
    TestBss bss;
    bss->wpa = 0;
    bss->ignore_broadcast_ssid = 1;
    bss->ap_isolate = 1;
    std::string script = GenerateApSta(bss);
    EXPECT_EQ(Section(script, "\n# 6B.2 set encryption\n", "# 6B.3"),
              "${WL} -i ${AP_NAME} wsec 0\n${WL} -i ${AP_NAME} auth 0\n");
    EXPECT_NE(script.find("${WL} -i ${AP_NAME} closed 1\n${WL} -i ${AP_NAME} ap_isolate 0\n"),
              std::string::npos);
}

TEST_F(ApStaScript, UnknownCipherWritesNoSecurityLines) {
    TestBss bss;
    TestBss::Set(bss->wpa_pairwise, "GCMP");
    EXPECT_EQ(Section(GenerateApSta(bss), "\n# 6B.2 set encryption\n", "# 6B.3"), "");
}

TEST_F(ApStaScript, AssociationLimitDefaultsToNine) {
    const std::pair<const char*, int> cases[] = {
        {nullptr, 9},           {"max_num_sta=0", 9}, {"max_num_sta=11", 9},
        {"max_num_sta=10", 10}, {"max_num_sta=3", 3},
    };
    for (const auto& c : cases) {
        TestBss bss;
        if (c.first != nullptr) bss.AddExtra(c.first);
        std::string script = GenerateApSta(bss);
        std::string n = std::to_string(c.second);
        EXPECT_NE(script.find("\n${WL} maxassoc " + n + "\n#Step 6A"), std::string::npos);
        EXPECT_NE(script.find("bss_maxassoc " + n + "\n"), std::string::npos);
    }
}
