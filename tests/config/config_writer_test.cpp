#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

constexpr const char* kHomeFile =
    "ssid=Home\n"
    "ignore_broadcast_ssid=0\n"
    "country_code=DE\n"
    "wmode=2\n"
    "channel=6\n"
    "auto_chan_select=1\n"
    "macaddr_acl=3\n"
    "deny_mac_file=/etc/config/hostapd.deny\n"
    "auth_algs=1\n"
    "ieee80211n=1\n"
    "ht_capab=[HT40+]\n"
    "require_ht=0\n"
    "wpa=3\n"
    "wpa_key_mgmt=WPA-PSK\n"
    "wpa_pairwise=CCMP TKIP\n"
    "wpa_passphrase=secret123\n"
    "wps_state=2\n"
    "eap_server=1\n"
    "ap_isolate=0\n"
    "max_num_sta=8\n"
    "ht2040_coex_disable=1\n";

// Written back, every address gets a description line.
constexpr const char* kHomeMacList =
    "#DESCRIPTION:phone\naa:bb:cc:dd:ee:ff\n#DESCRIPTION:\n11:22:33:44:55:66\n";

// The record the configuration methods build from that file and its MAC list. Both files are
// removed after the read, so that only what the writer writes can match them.
ConfigPtr HomeRecord() {
    sandbox::WriteFile("/tmp/home.conf", kHomeFile);
    sandbox::WriteFile("/etc/config/hostapd.deny",
                       "#DESCRIPTION:phone\naa:bb:cc:dd:ee:ff\n11:22:33:44:55:66\n");
    ConfigPtr bss = ReadConfig("/tmp/home.conf");
    EXPECT_EQ(bss->wmode, 5);  // 11bgn
    unlink("/tmp/home.conf");
    unlink("/etc/config/hostapd.deny");
    logcap::Clear();
    return bss;
}

}  // namespace

using ConfigWriter = SandboxTest;

// The configuration is usually a link to the working copy: the target is replaced, the link
// kept, and no temporary file stays behind.
TEST_F(ConfigWriter, WritesEveryLineInItsOrderThroughTheLink) {
    sandbox::WriteFile("/etc/AR6004_hostapd.conf", "ssid=old\n");
    ASSERT_EQ(symlink("/etc/AR6004_hostapd.conf", "/etc/hostapd.conf"), 0);
    ConfigPtr bss = HomeRecord();
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    struct stat st;
    ASSERT_EQ(lstat("/etc/hostapd.conf", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(sandbox::ReadFile("/etc/AR6004_hostapd.conf"), kHomeFile);
    EXPECT_EQ(sandbox::Output("ls -A /etc | grep -c hostapd"), "2\n");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/hostapd.deny"), kHomeMacList);
}

TEST_F(ConfigWriter, OptionalLinesAreLeftOutButTheMacListIsStillRewritten) {
    ConfigPtr bss = HomeRecord();
    sandbox::WriteFile("/etc/config/hostapd.deny", "old:old:old:old:o\n");
    bss->auto_chan_select = 0;
    bss->macaddr_acl = 0;
    bss->ht_capab[0] = '\0';
    bss->wpa = 0;
    bss->wpa_key_mgmt[0] = '\0';
    bss->wpa_pairwise[0] = '\0';
    bss->wpa_passphrase[0] = '\0';
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    std::string file = sandbox::ReadFile("/etc/hostapd.conf");
    EXPECT_EQ(file.find("auto_chan_select"), std::string::npos);
    EXPECT_EQ(file.find("macaddr_acl"), std::string::npos);
    EXPECT_EQ(file.find("deny_mac_file"), std::string::npos);
    EXPECT_EQ(file.find("wpa_"), std::string::npos);
    EXPECT_NE(file.find("\nht_capab=\n"), std::string::npos);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/hostapd.deny"), kHomeMacList);
}

TEST_F(ConfigWriter, PskIsWrittenOnlyWithoutPassphrase) {
    const std::string psk(64, 'b');
    ConfigPtr bss = HomeRecord();
    strcpy(bss->wpa_psk, psk.c_str());
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    EXPECT_EQ(sandbox::ReadFile("/etc/hostapd.conf").find("wpa_psk"), std::string::npos);

    bss->wpa_passphrase[0] = '\0';
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    EXPECT_NE(sandbox::ReadFile("/etc/hostapd.conf").find("\nwpa_psk=" + psk + "\n"),
              std::string::npos);
    EXPECT_TRUE(logcap::Has(logcap::User(), "set wpa key: " + psk));
}

TEST_F(ConfigWriter, UnknownLinesSurviveAReadAndWriteAtTheEndInOrder) {
    sandbox::WriteFile("/etc/hostapd.conf",
                       "# device defaults\nmax_num_sta=8\nssid=Cafe\n\n"
                       "ht2040_coex_disable=1\nchannel=11\nacs_chan_list=1,6\n");
    ConfigPtr bss = ReadConfig();
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    std::string file = sandbox::ReadFile("/etc/hostapd.conf");
    EXPECT_EQ(file.find('#'), std::string::npos);
    const std::string tail =
        "ap_isolate=0\nmax_num_sta=8\nht2040_coex_disable=1\nacs_chan_list=1,6\n";
    ASSERT_GE(file.size(), tail.size());
    EXPECT_EQ(file.substr(file.size() - tail.size()), tail);
    EXPECT_EQ(file.rfind("ssid=Cafe\n", 0), 0u);
}

TEST_F(ConfigWriter, UnopenableFileIsLeftAloneWithoutAMessage) {
    ConfigPtr bss = HomeRecord();
    wlan_mgr_set_config(bss.get(), "/etc/no-such-dir/hostapd.conf");
    EXPECT_FALSE(sandbox::Exists("/etc/no-such-dir"));
    EXPECT_FALSE(sandbox::Exists("/etc/config/hostapd.deny"));
    EXPECT_TRUE(logcap::Level5().empty());
    EXPECT_TRUE(logcap::User().empty());
    EXPECT_EQ(bss->wmode, 2);  // converted before the file was tried
}

TEST_F(ConfigWriter, AWriteThatFailsLeavesTheOldFiles) {
    ASSERT_EQ(sandbox::Run("mkdir -p /tmp/full && mount -t tmpfs -o size=8k tmpfs /tmp/full"), 0);
    sandbox::WriteFile("/tmp/full/hostapd.conf", "ssid=old\n");
    sandbox::WriteFile("/tmp/full/hostapd.deny", "11:22:33:44:55:66\n");
    sandbox::Run("dd if=/dev/zero of=/tmp/full/fill bs=1k count=64 2>/dev/null");
    ConfigPtr bss = HomeRecord();
    strcpy(bss->deny_mac_file, "/tmp/full/hostapd.deny");
    wlan_mgr_set_config(bss.get(), "/tmp/full/hostapd.conf");
    EXPECT_EQ(sandbox::ReadFile("/tmp/full/hostapd.conf"), "ssid=old\n");
    EXPECT_EQ(sandbox::ReadFile("/tmp/full/hostapd.deny"), "11:22:33:44:55:66\n");
    EXPECT_EQ(sandbox::Output("ls -A /tmp/full"), "fill\nhostapd.conf\nhostapd.deny\n");
    sandbox::Run("umount /tmp/full");
}
