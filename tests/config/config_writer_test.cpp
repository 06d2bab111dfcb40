#include "config/config_writer.h"

#include <gtest/gtest.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

constexpr const char* kHomeFile =
    "ssid=Home\nignore_broadcast_ssid=0\ncountry_code=DE\nwmode=2\nchannel=6\n"
    "auto_chan_select=1\nmacaddr_acl=3\ndeny_mac_file=/etc/config/hostapd.deny\nauth_algs=1\n"
    "ieee80211n=1\nht_capab=[HT40+]\nrequire_ht=0\nwpa=3\nwpa_key_mgmt=WPA-PSK\n"
    "wpa_pairwise=CCMP TKIP\nwpa_passphrase=secret123\nwps_state=2\neap_server=1\n"
    "ap_isolate=0\nmax_num_sta=8\nht2040_coex_disable=1\n";

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
    unlink("/tmp/home.conf");
    unlink("/etc/config/hostapd.deny");
    logcap::Clear();
    return bss;
}

}  // namespace

using ConfigWriter = SandboxTest;

// The configuration is usually a link to the working copy: the target is replaced, the link
// kept, and no temporary file stays behind. Unknown lines come last, in their order.
TEST_F(ConfigWriter, WritesEveryLineInItsOrderThroughTheLink) {
    sandbox::WriteFile("/etc/AR6004_hostapd.conf", "ssid=old\n");
    ASSERT_EQ(symlink("/etc/AR6004_hostapd.conf", "/etc/hostapd.conf"), 0);
    ConfigPtr bss = HomeRecord();
    memset(bss->wpa_psk, 'b', 64);  // the passphrase wins
    EXPECT_EQ(wlan_config_write(bss.get(), "/etc/hostapd.conf"), 0);
    struct stat st;
    ASSERT_EQ(lstat("/etc/hostapd.conf", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(sandbox::ReadFile("/etc/AR6004_hostapd.conf"), kHomeFile);
    EXPECT_EQ(sandbox::Output("ls -A /etc | grep -c hostapd"), "2\n");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/hostapd.deny"), kHomeMacList);
}

// Without a passphrase the psk is written.
TEST_F(ConfigWriter, OptionalLinesAreLeftOutButTheMacListIsStillRewritten) {
    const std::string psk(64, 'b');
    ConfigPtr bss = HomeRecord();
    sandbox::WriteFile("/etc/config/hostapd.deny", "old:old:old:old:o\n");
    bss->auto_chan_select = 0;
    bss->macaddr_acl = 0;
    bss->ht_capab[0] = '\0';
    bss->wpa = 0;
    bss->wpa_key_mgmt[0] = '\0';
    bss->wpa_pairwise[0] = '\0';
    bss->wpa_passphrase[0] = '\0';
    strcpy(bss->wpa_psk, psk.c_str());
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    EXPECT_EQ(sandbox::ReadFile("/etc/hostapd.conf"),
              "ssid=Home\nignore_broadcast_ssid=0\ncountry_code=DE\nwmode=2\nchannel=6\n"
              "auth_algs=1\nieee80211n=1\nht_capab=\nrequire_ht=0\nwpa=0\nwpa_psk=" +
                  psk +
                  "\nwps_state=2\neap_server=1\nap_isolate=0\nmax_num_sta=8\n"
                  "ht2040_coex_disable=1\n");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/hostapd.deny"), kHomeMacList);
    EXPECT_TRUE(logcap::Has(logcap::User(), "set wpa key: " + psk));
}

// The configuration and its MAC list are replaced together or not at all: when either cannot
// be written both keep their old content, and the caller learns of it.
TEST_F(ConfigWriter, AWriteThatFailsLeavesTheOldPair) {
    ASSERT_EQ(sandbox::Run("mkdir -p /tmp/full && mount -t tmpfs -o size=8k tmpfs /tmp/full"), 0);
    const struct {
        const char* conf;
        const char* list;
    } cases[] = {
        {"/tmp/full/hostapd.conf", "/etc/config/hostapd.deny"},
        {"/etc/hostapd.conf", "/tmp/full/hostapd.deny"},
    };
    for (const auto& c : cases) {
        ConfigPtr bss = HomeRecord();
        sandbox::Run("rm -f /tmp/full/*");
        sandbox::WriteFile(c.conf, "ssid=old\n");
        sandbox::WriteFile(c.list, "11:22:33:44:55:66\n");
        sandbox::Run("dd if=/dev/zero of=/tmp/full/fill bs=1k count=64 2>/dev/null");
        strcpy(bss->deny_mac_file, c.list);
        EXPECT_EQ(wlan_config_write(bss.get(), c.conf), -1) << c.conf << " " << c.list;
        EXPECT_EQ(sandbox::ReadFile(c.conf), "ssid=old\n") << c.list;
        EXPECT_EQ(sandbox::ReadFile(c.list), "11:22:33:44:55:66\n") << c.conf;
        EXPECT_TRUE(logcap::User().empty());
    }
    EXPECT_EQ(sandbox::Output("find /etc /tmp/full -name '.hostapd*'"), "");  // no temporaries
    sandbox::Run("umount /tmp/full");
}

// A line break in any text would add a line of the caller's choosing (an SSID that names
// another MAC list file makes the next rewrite overwrite that file). Such a record is refused
// whole and both files keep their old content.
TEST_F(ConfigWriter, RecordWithALineBreakInAnyTextIsRefused) {
    const struct {
        const char* field;
        void (*set)(wlan_mgr_bss_config*);
    } cases[] = {
        {"ssid", [](wlan_mgr_bss_config* b) { strcpy(b->ssid, "x\ndeny_mac_file=/etc/victim"); }},
        {"ssid", [](wlan_mgr_bss_config* b) { strcpy(b->ssid, "x\rwpa=0"); }},
        {"extra line", [](wlan_mgr_bss_config* b) { strcpy(b->extra_conf[1], "a=1\nwpa=0"); }},
        {"MAC description",
         [](wlan_mgr_bss_config* b) {
             strcpy(b->accept_mac[0].description, "tv\n00:00:00:00:00:01");
         }},
    };
    for (const auto& c : cases) {
        ConfigPtr bss = HomeRecord();
        sandbox::WriteFile("/etc/hostapd.conf", "ssid=old\n");
        sandbox::WriteFile("/etc/config/hostapd.deny", "11:22:33:44:55:66\n");
        c.set(bss.get());
        EXPECT_EQ(wlan_config_write(bss.get(), "/etc/hostapd.conf"), -1) << c.field;
        EXPECT_TRUE(HasLevel5(std::string("config: line break in ") + c.field +
                              ", /etc/hostapd.conf not written!"))
            << c.field;
        EXPECT_EQ(sandbox::ReadFile("/etc/hostapd.conf"), "ssid=old\n") << c.field;
        EXPECT_EQ(sandbox::ReadFile("/etc/config/hostapd.deny"), "11:22:33:44:55:66\n") << c.field;
        EXPECT_TRUE(logcap::User().empty()) << c.field;
    }
}
