#include <gmock/gmock.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

constexpr const char* kTemplate = "/etc/default_config/AR6004_hostapd.conf";
constexpr const char* kWorkingCopy = "/etc/AR6004_hostapd.conf";
constexpr const char* kConf = "/etc/hostapd.conf";
constexpr const char* kTemplateText = "wmode=2\nchannel=0\nauto_chan_select=1\n";
constexpr const char* kMac = "aa:bb:cc:dd:1e:2f";

// The product's uci package; empty texts leave the option out.
struct Product {
    std::string region;
    std::string prefix;
    std::string mac;
    std::string imei;
};

// The lines prepare_hostapd_conf appended after the template text and its extra newline.
std::string Generated() {
    std::string file = sandbox::ReadFile(kWorkingCopy);
    std::string head = std::string(kTemplateText) + "\n";
    if (file.compare(0, head.size(), head) != 0) return "template missing in: " + file;
    return file.substr(head.size());
}

bool IsLink(const char* path) {
    struct stat st;
    return lstat(path, &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

class PrepareHostapdConf : public SandboxTest {
protected:
    void Prepare() override { sandbox::WriteFile(kTemplate, kTemplateText); }

    // Writes the product data and prepares the configuration; `fresh` first starts again from
    // a new sandbox holding only the template.
    void Prepare(const Product& p, bool fresh = false) {
        if (fresh) {
            sandbox::Reset();
            sandbox::WriteFile(kTemplate, kTemplateText);
        }
        std::string text = "config info 'info'\n";
        if (!p.region.empty()) text += "\toption product_region '" + p.region + "'\n";
        if (!p.prefix.empty()) text += "\toption ssid_prefix '" + p.prefix + "'\n";
        text += "\nconfig wlan 'wlan'\n";
        if (!p.mac.empty()) text += "\toption mac_address '" + p.mac + "'\n";
        text += "\nconfig lte 'lte'\n";
        if (!p.imei.empty()) text += "\toption imei '" + p.imei + "'\n";
        sandbox::WriteFile("/etc/config/product", text);
        prepare_hostapd_conf(kConf);
    }
};

// China (CN exactly) gets an open network without WPS, every other region or none WPA with the
// end of the IMEI as its key; the country is DE for EU and US for the rest.
TEST_F(PrepareHostapdConf, GeneratedLinesFollowTheProductRegion) {
    const std::string wpa =
        "wpa=3\nwpa_key_mgmt=WPA-PSK\nwpa_pairwise=CCMP TKIP\nwpa_passphrase=35643809\n";
    const std::string wps = "wps_state=2\neap_server=1\nap_isolate=0\n";
    const struct {
        const char *region, *prefix;
        std::string lines;
    } cases[] = {
        {"EU", "TEST_", "ssid=TEST_1E2F\n" + wpa + "country_code=DE\n" + wps},
        {"", "", "ssid=ZAVORIN_4G_1E2F\n" + wpa + "country_code=US\n" + wps},
        {"CNX", "", "ssid=ZAVORIN_4G_1E2F\n" + wpa + "country_code=US\n" + wps},
        {"CN", "",
         "ssid=ZAVORIN_4G_1E2F\nwpa=0\ncountry_code=CN\nwps_state=0\neap_server=0\n"
         "ap_isolate=0\n"},
    };
    for (const auto& c : cases) {
        Prepare({c.region, c.prefix, kMac, "356938035643809"}, true);
        EXPECT_EQ(Generated(), c.lines) << c.region;
    }
    EXPECT_TRUE(logcap::Has(logcap::User(), "To generate default hostapd conf"));
}

TEST_F(PrepareHostapdConf, MissingConfigurationBecomesALinkToTheWorkingCopy) {
    Prepare({"EU", "", kMac, ""});
    EXPECT_EQ(sandbox::Output("readlink /etc/hostapd.conf"), "/etc/AR6004_hostapd.conf\n");
    EXPECT_EQ(sandbox::ReadFile(kTemplate), kTemplateText);
    EXPECT_EQ(sandbox::Output("ls -A /etc | grep -c hostapd"), "2\n");  // no temporary left
}

// Without a usable MAC address the SSID suffix is random hex; an IMEI too short to leave 8
// characters would give a passphrase the reader drops, so the fallback one is used.
TEST_F(PrepareHostapdConf, WithoutMacOrFullImeiTheFallbacksAreUsed) {
    for (const char* mac : {"", "00:11:22:33:44:55"}) {
        Prepare({"EU", "", mac, ""}, true);
        EXPECT_THAT(ReadConfig()->ssid, testing::MatchesRegex("ZAVORIN_4G_[0-9A-F]{4}"));
    }
    for (const char* imei : {"", "1234567"}) {
        Prepare({"EU", "", kMac, imei}, true);
        EXPECT_STREQ(ReadConfig()->wpa_passphrase, "5831902746") << imei;
    }
}

// An existing working copy (or the link to it) is appended to, not refreshed from the
// template; an unterminated last line is ended first. A file with an ssid line is left alone.
TEST_F(PrepareHostapdConf, ExistingFilesAreAppendedToAndLinksKept) {
    sandbox::WriteFile(kWorkingCopy, "channel=6");
    ASSERT_EQ(symlink(kWorkingCopy, kConf), 0);
    Prepare({"CN", "", kMac, ""});
    EXPECT_TRUE(IsLink(kConf));
    std::string file = sandbox::ReadFile(kConf);
    EXPECT_EQ(file.rfind("channel=6\nssid=ZAVORIN_4G_1E2F\nwpa=0\n", 0), 0u) << file;
    sandbox::Reset();
    prepare_hostapd_conf(kConf);  // without a template nothing is made
    EXPECT_FALSE(sandbox::Exists(kWorkingCopy));
    EXPECT_FALSE(sandbox::Exists(kConf));
    sandbox::WriteFile(kTemplate, kTemplateText);
    sandbox::WriteFile(kConf, "wpa=0\nssid=\n");
    Prepare({"EU", "", kMac, ""});
    EXPECT_EQ(sandbox::ReadFile(kConf), "wpa=0\nssid=\n");
    EXPECT_FALSE(IsLink(kConf));
}

// A working copy that cannot be written is not there afterwards, and no link is made to it:
// a dangling link would make every later start read an empty configuration.
TEST_F(PrepareHostapdConf, FullFilesystemLeavesNoLinkToAMissingWorkingCopy) {
    ASSERT_EQ(sandbox::Run("mount -t tmpfs -o size=8k tmpfs /etc"), 0);
    sandbox::WriteFile(kTemplate, kTemplateText);
    sandbox::Run("dd if=/dev/zero of=/etc/fill bs=1k count=64 2>/dev/null");
    prepare_hostapd_conf(kConf);
    EXPECT_FALSE(sandbox::Exists(kWorkingCopy));
    EXPECT_FALSE(sandbox::Exists(kConf));
    EXPECT_TRUE(HasLevel5("write /etc/AR6004_hostapd.conf error!"));
    EXPECT_EQ(sandbox::Output("ls -A /etc"), "default_config\nfill\n");
    sandbox::Run("umount /etc");
}

using ReadUci = SandboxTest;

// The first line without its newline, cut to the buffer; the default (also cut) when the
// command prints nothing or is missing.
TEST_F(ReadUci, TakesTheFirstLineOrTheDefaultCutToTheBuffer) {
    const struct {
        const char* command;
        int size;
        const char *fallback, *value;
    } cases[] = {{"printf 'first\\nsecond\\n'", 128, "UN", "first"},
                 {"printf 0123456789012345678", 16, "x", "012345678901234"},
                 {"true", 4, "Unknown", "Unk"}};
    for (const auto& c : cases) {
        char buffer[256];
        memset(buffer, 'x', sizeof(buffer));
        read_uci(c.command, buffer, c.size, c.fallback);
        EXPECT_STREQ(buffer, c.value) << c.command;
    }
    EXPECT_TRUE(HasLevel5("uci get fail, use defaut value"));
}
