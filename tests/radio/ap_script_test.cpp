#include <sys/stat.h>

#include <sstream>

#include "tests/radio/radio_env.h"

// The access-point script, section by section, for each mode, country, security and width.
using ApScript = RadioScriptTest;

namespace {

constexpr const char* kMacScript = "/usr/bin/bcm_mac_filter.sh";

std::string SecuritySection(const std::string& script) {
    return Section(script, "\n# 6B.2 set encryption\n", "\n#Step 7");
}

}  // namespace

TEST_F(ApScript, WholeScriptForASecured24GhzAccessPoint) {
    TestBss bss;
    const std::string steps3to6 =
        std::string("\n#Step 3: configure the country and 802.11 mode\n") + "${WL} country US\n" +
        "\n#set mode 11bgn\n" +
        "${WL} band  b\n${WL} nmode 1\n${WL} nreqd 0\n${WL} bg_rate auto\n" +
        "\n#Step 4: configure RF parameters including the bandwidth and rate\n" +
        "${WL} sgi_tx -1\n${WL} sgi_rx 3\n" + "\n#Step 5: Configure the channel\n" +
        "#Note this can be replace with the 'auto channel command sequence'\n" +
        "${WL} mimo_bw_cap 0\n" + kAcsPlainBlock +
        "\n#Step 6: configure the encryption information, SSID feature for each interface\n";
    const std::string expected =
        std::string("#!/bin/sh\n") + "\n#Get parameters\nWL=\"$1\"\nBSSID=\"$2\"\n" +
        "PMK=\"secret123\"\n" + "\n#Step 1: Turn off the radio\n${WL} down\n" +
        "\n#Step 2: configure the basic parameters including Wi-Fi working mode\n" +
        "${WL} mbss 0\n${WL} apsta 0\n${WL} ap 1\n${WL} mpc 0\n" + steps3to6 +
        "${WL} maxassoc 10\n" + "#Step 6B for AP\n# 6B.1 create the interface\n" +
        "${WL} ssid \"HomeAP\"\n${WL} cur_etheraddr ${BSSID}\n" + "${WL} closed 0\n" +
        "\n# 6B.2 set encryption\n" +
        "${WL} wsec 0x04\n${WL} sup_wpa 1\n${WL} wpa_auth 0x84\n${WL} set_pmk \"${PMK}\"\n" +
        "\n#Step 7: To make channel competition more strong\n" +
        "${WL} wme_ac ap be aifsn 1 ecwmin 2 ecwmax 3\n${WL} dtim 1\n" + "${WL} new_wme_show 1\n" +
        "\n#Step 8: Take all parameter effect\n# enable all\n${WL} up\n";
    EXPECT_EQ(GenerateAp(bss), expected);
}

// Each line after the title is a radio command.
TEST_F(ApScript, ModeBlockForEachInternalMode) {
    const struct {
        int wmode, band_type;
        const char *title, *commands;
    } cases[] = {
        {1, 0, "11b", "band  b|nmode 0|gmode 0|bg_rate auto"},
        {2, 0, "11g only", "band  b|nmode 0|gmode 2|bg_rate auto"},
        {3, 1, "11n only 5G", "band  a|nmode 1|nreqd 1|a_rate auto"},
        {3, 0, "11n only 2.4G", "band  b|nmode 1|nreqd 1|bg_rate auto"},
        {4, 0, "11bg", "band  b|nmode 0|gmode 1|bg_rate auto"},
        {6, 1, "11an", "band  a|nmode 1|nreqd 0|a_rate auto"},
        {7, 1, "11a", "band  a|nmode 0|a_rate auto"},
        {8, 0, nullptr, ""},
    };
    for (const auto& c : cases) {
        TestBss bss;
        bss->wmode = c.wmode;
        bss->band_type = c.band_type;
        std::string block = c.title ? std::string("\n#set mode ") + c.title + "\n" : "";
        std::istringstream commands(c.commands);
        for (std::string command; std::getline(commands, command, '|');)
            block += "${WL} " + command + "\n";
        EXPECT_EQ(Section(GenerateAp(bss), "${WL} country US\n", "\n#Step 4"), block)
            << "wmode " << c.wmode;
    }
}

// Without a country the command only asks the radio, which keeps its own.
TEST_F(ApScript, CountryLineUsesTheWlCodeAndItsRevision) {
    const std::pair<std::string, std::string> cases[] = {
        {"JP", "${WL} country JP/0\n"},
        {"IR", "${WL} country AR/21\n"},
        {"KP", "${WL} country SA\n"},
        {"", "${WL} country \n"},
    };
    for (const auto& c : cases) {
        TestBss bss;
        TestBss::Set(bss->country, c.first);
        EXPECT_EQ(Section(GenerateAp(bss), "#Step 3: configure the country and 802.11 mode\n",
                          "\n#set mode"),
                  c.second);
    }
}

// Only the three listed ciphers, written exactly so, get a security block; an open network
// turns encryption off, and a hidden one is closed.
TEST_F(ApScript, SecurityBlockByPairwiseCipherOrOpenHiddenNetwork) {
    for (const auto& [pairwise, wsec] : std::initializer_list<std::pair<std::string, std::string>>{
             {"TKIP", "0x02"}, {"CCMP TKIP", "0x06"}, {"TKIP CCMP", ""}}) {
        TestBss bss;
        TestBss::Set(bss->wpa_pairwise, pairwise);
        EXPECT_EQ(SecuritySection(GenerateAp(bss)),
                  wsec.empty() ? ""
                               : "${WL} wsec " + wsec +
                                     "\n${WL} sup_wpa 1\n${WL} wpa_auth 0x84\n${WL} set_pmk "
                                     "\"${PMK}\"\n")
            << pairwise;
    }
    TestBss bss;
    bss->wpa = 0;
    bss->ignore_broadcast_ssid = 1;
    TestBss::Set(bss->wpa_passphrase, "");
    std::string script = GenerateAp(bss);
    EXPECT_EQ(SecuritySection(script), "${WL} wsec 0\n${WL} auth 0\n");
    EXPECT_EQ(script.find("PMK="), std::string::npos);
    EXPECT_NE(script.find("${WL} cur_etheraddr ${BSSID}\n${WL} closed 1\n"), std::string::npos);
}

// The coexistence line must match whole.
TEST_F(ApScript, BandwidthLinesFollowHtCapabAndTheCoexistenceLine) {
    const std::string on = "${WL} obss_coex 1\n${WL} mimo_bw_cap 1\n";
    const struct {
        const char *ht_capab, *extra;
        std::string lines;
    } cases[] = {{"[HT40-]", nullptr, on},
                 {"[HT40-]", "ht2040_coex_disable=1", "${WL} obss_coex 0\n${WL} mimo_bw_cap 1\n"},
                 {"[HT40+]", "ht2040_coex_disable=10", on},
                 {"[HT20]", "ht2040_coex_disable=1", "${WL} mimo_bw_cap 0\n"}};
    for (const auto& c : cases) {
        TestBss bss;
        TestBss::Set(bss->ht_capab, c.ht_capab);
        if (c.extra != nullptr) bss.AddExtra(c.extra);
        EXPECT_EQ(Section(GenerateAp(bss), "'auto channel command sequence'\n", "\n${WL} down"),
                  c.lines)
            << c.ht_capab << " " << (c.extra ? c.extra : "");
    }
}

// The AP script allows 10 stations and the AP+station script 9 unless max_num_sta asks for
// fewer (the AP+station one takes 10 as well). Every character counts as a digit, its code
// minus that of '0' ("1/" makes 9), and the digits of several lines run together.
TEST_F(ApScript, AssociationLimitFromMaxNumSta) {
    const struct {
        std::vector<std::string> lines;
        int ap, apsta;
    } cases[] = {
        {{}, 10, 9},
        {{"max_num_sta=11"}, 10, 9},
        {{"max_num_sta=10"}, 10, 10},
        {{"max_num_sta=4"}, 4, 4},
        {{"max_num_sta=1/"}, 9, 9},
        {{"max_num_sta=1", "max_num_sta=0"}, 10, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.empty() ? "no line" : c.lines.back());
        TestBss bss;
        for (const std::string& line : c.lines) bss.AddExtra(line);
        const std::string ap = std::to_string(c.ap), apsta = std::to_string(c.apsta);
        EXPECT_NE(GenerateAp(bss).find("\n${WL} maxassoc " + ap + "\n#Step 6B"), std::string::npos);
        ASSERT_EQ(wlan_mgr_apsta_conf_to_wl_sh(bss.get(), kApStaScript), 0);
        const std::string script = sandbox::ReadFile(kApStaScript);
        EXPECT_NE(script.find("\n${WL} maxassoc " + apsta + "\n#Step 6A"), std::string::npos);
        EXPECT_NE(script.find("bss_maxassoc " + apsta + "\n"), std::string::npos);
    }
}

// The script is made executable for owner and group, and no more.
TEST_F(ApScript, ScriptIsExecutableForOwnerAndGroup) {
    TestBss bss;
    mode_t old_mask = umask(022);
    GenerateAp(bss);
    umask(old_mask);
    struct stat st;
    ASSERT_EQ(stat(kApScript, &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0754u);
}

// The MAC filter script: mode line, the list cleared, then one line per valid MAC (and a
// deauthentication after each when the list denies). With the filter off the list is still
// loaded.
TEST_F(ApScript, MacFilterScriptSetsTheModeAndLoadsTheValidMacs) {
    const std::string head = "#!/bin/sh\n\n#mac filter\n\nWL=\"$1\"\n${WL} macmode ";
    const std::string list = "\n${WL} mac none\n${WL} mac 00:11:22:33:44:55\n";
    const std::pair<int, std::string> cases[] = {
        {3, "1" + list + "${WL} deauthenticate 00:11:22:33:44:55\n"},
        {2, "2" + list},
        {1, "0" + list}};
    const char* const invalid[] = {"00:11:22:33:44:5;", "$(reboot)", "00-11-22-33-44-55"};
    for (const auto& c : cases) {
        TestBss bss;
        bss->macaddr_acl = c.first;
        for (const char* mac : invalid) bss.AddMac(mac);
        bss.AddMac("00:11:22:33:44:55");
        EXPECT_EQ(wlan_mgr_mac_fliter_to_wl_sh(bss.get(), kMacScript), 0);
        EXPECT_EQ(sandbox::ReadFile(kMacScript), head + c.second) << "acl " << c.first;
    }
    for (const char* mac : invalid)
        EXPECT_TRUE(HasLevel5(std::string("mac filter: skip invalid MAC [") + mac + "]"));
}
