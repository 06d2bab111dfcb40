#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

constexpr const char* kTemplate = "/etc/default_config/AR6004_hostapd.conf";
constexpr const char* kWorkingCopy = "/etc/AR6004_hostapd.conf";
constexpr const char* kConf = "/etc/hostapd.conf";
constexpr const char* kTemplateText = "wmode=2\nchannel=0\nauto_chan_select=1\n";

// The product's uci package; empty arguments leave the option out.
struct Product {
    std::string region;
    std::string prefix;
    std::string mac;
    std::string imei;
};

void WriteProduct(const Product& p) {
    std::string text = "config info 'info'\n";
    if (!p.region.empty()) text += "\toption product_region '" + p.region + "'\n";
    if (!p.prefix.empty()) text += "\toption ssid_prefix '" + p.prefix + "'\n";
    text += "\nconfig wlan 'wlan'\n";
    if (!p.mac.empty()) text += "\toption mac_address '" + p.mac + "'\n";
    text += "\nconfig lte 'lte'\n";
    if (!p.imei.empty()) text += "\toption imei '" + p.imei + "'\n";
    sandbox::WriteFile("/etc/config/product", text);
}

// The lines prepare_hostapd_conf appended after the template text and its extra newline.
std::string Generated() {
    std::string file = sandbox::ReadFile(kWorkingCopy);
    std::string head = std::string(kTemplateText) + "\n";
    if (file.compare(0, head.size(), head) != 0) return "template missing in: " + file;
    return file.substr(head.size());
}

// The default prefix followed by four upper-case hexadecimal digits.
bool IsDefaultPrefixWithHexSuffix(const std::string& ssid) {
    const std::string prefix = "ZAVORIN_4G_";
    if (ssid.size() != prefix.size() + 4 || ssid.compare(0, prefix.size(), prefix) != 0)
        return false;
    return ssid.find_first_not_of("0123456789ABCDEF", prefix.size()) == std::string::npos;
}

bool IsLink(const char* path) {
    struct stat st;
    return lstat(path, &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

class PrepareHostapdConf : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        sandbox::WriteFile(kTemplate, kTemplateText);
    }
};

TEST_F(PrepareHostapdConf, ExportDeviceGetsWpaAndItsOwnNameAndKey) {
    WriteProduct({"EU", "TEST_", "aa:bb:cc:dd:1e:2f", "356938035643809"});
    prepare_hostapd_conf(kConf);
    EXPECT_EQ(Generated(),
              "ssid=TEST_1E2F\n"
              "wpa=3\n"
              "wpa_key_mgmt=WPA-PSK\n"
              "wpa_pairwise=CCMP TKIP\n"
              "wpa_passphrase=35643809\n"
              "country_code=DE\n"
              "wps_state=2\n"
              "eap_server=1\n"
              "ap_isolate=0\n");
    EXPECT_TRUE(logcap::Has(logcap::User(), "To generate default hostapd conf"));
    EXPECT_TRUE(logcap::Has(logcap::User(), "generate ssid: TEST_1E2F"));
    EXPECT_TRUE(logcap::Has(logcap::User(), "generate wpa key: 35643809"));
}

TEST_F(PrepareHostapdConf, ChinaDeviceGetsAnOpenNetworkWithoutWps) {
    WriteProduct({"CN", "", "aa:bb:cc:dd:1e:2f", "356938035643809"});
    prepare_hostapd_conf(kConf);
    EXPECT_EQ(Generated(),
              "ssid=ZAVORIN_4G_1E2F\n"
              "wpa=0\n"
              "country_code=CN\n"
              "wps_state=0\n"
              "eap_server=0\n"
              "ap_isolate=0\n");
}

TEST_F(PrepareHostapdConf, OtherRegionsAndNoRegionGetCountryUs) {
    for (const char* region : {"JP", ""}) {
        sandbox::Reset();
        sandbox::WriteFile(kTemplate, kTemplateText);
        WriteProduct({region, "", "aa:bb:cc:dd:1e:2f", ""});
        prepare_hostapd_conf(kConf);
        ConfigPtr bss = ReadConfig();
        EXPECT_STREQ(bss->country, "US") << region;
        EXPECT_EQ(bss->wpa, 3) << region;
    }
}

TEST_F(PrepareHostapdConf, MissingConfigurationBecomesALinkToTheWorkingCopy) {
    WriteProduct({"EU", "", "aa:bb:cc:dd:1e:2f", ""});
    prepare_hostapd_conf(kConf);
    ASSERT_TRUE(IsLink(kConf));
    EXPECT_EQ(sandbox::Output("readlink /etc/hostapd.conf"), "/etc/AR6004_hostapd.conf\n");
    EXPECT_EQ(sandbox::ReadFile(kTemplate), kTemplateText);
    ConfigPtr bss = ReadConfig();
    EXPECT_STREQ(bss->ssid, "ZAVORIN_4G_1E2F");
    EXPECT_EQ(bss->auto_chan_select, 1);
    EXPECT_EQ(sandbox::Output("ls -A /etc | grep -c hostapd"), "2\n");  // no temporary left
}

TEST_F(PrepareHostapdConf, WithoutAMacAddressTheSuffixIsRandomHex) {
    WriteProduct({"EU", "", "", ""});
    prepare_hostapd_conf(kConf);
    EXPECT_TRUE(IsDefaultPrefixWithHexSuffix(ReadConfig()->ssid)) << ReadConfig()->ssid;

    sandbox::Reset();
    sandbox::WriteFile(kTemplate, kTemplateText);
    WriteProduct({"EU", "", "00:11:22:33:44:55", ""});
    prepare_hostapd_conf(kConf);
    EXPECT_TRUE(IsDefaultPrefixWithHexSuffix(ReadConfig()->ssid)) << ReadConfig()->ssid;
}

// An IMEI too short to leave 8 characters would give a passphrase the reader drops.
TEST_F(PrepareHostapdConf, WithoutAFullImeiTheFallbackPassphraseIsUsed) {
    for (const char* imei : {"", "000000000000000", "1234567", "12345678901234"}) {
        sandbox::Reset();
        sandbox::WriteFile(kTemplate, kTemplateText);
        WriteProduct({"EU", "", "aa:bb:cc:dd:1e:2f", imei});
        prepare_hostapd_conf(kConf);
        EXPECT_STREQ(ReadConfig()->wpa_passphrase, "5831902746") << imei;
    }
}

TEST_F(PrepareHostapdConf, FileWithAnSsidLineIsLeftUntouched) {
    WriteProduct({"EU", "", "aa:bb:cc:dd:1e:2f", ""});
    sandbox::WriteFile(kConf, "wpa=0\nssid=\n");
    prepare_hostapd_conf(kConf);
    EXPECT_EQ(sandbox::ReadFile(kConf), "wpa=0\nssid=\n");
    EXPECT_FALSE(IsLink(kConf));
}

TEST_F(PrepareHostapdConf, UnterminatedLastLineIsEndedBeforeTheGeneratedLines) {
    WriteProduct({"CN", "", "aa:bb:cc:dd:1e:2f", ""});
    sandbox::WriteFile(kConf, "channel=6");
    prepare_hostapd_conf(kConf);
    std::string file = sandbox::ReadFile(kConf);
    EXPECT_EQ(file.rfind("channel=6\nssid=ZAVORIN_4G_1E2F\nwpa=0\n", 0), 0u) << file;
    EXPECT_EQ(ReadConfig()->channel, 6);
}

TEST_F(PrepareHostapdConf, ExistingWorkingCopyIsNotRefreshedFromTheTemplate) {
    WriteProduct({"CN", "", "aa:bb:cc:dd:1e:2f", ""});
    sandbox::WriteFile(kWorkingCopy, "channel=11\n");
    prepare_hostapd_conf(kConf);
    EXPECT_EQ(sandbox::ReadFile(kWorkingCopy).rfind("channel=11\n\nssid=", 0), 0u);
}

TEST_F(PrepareHostapdConf, MissingTemplateLeavesEverythingAsItWas) {
    unlink(kTemplate);
    prepare_hostapd_conf(kConf);
    EXPECT_FALSE(sandbox::Exists(kWorkingCopy));
    EXPECT_FALSE(sandbox::Exists(kConf));
}

TEST_F(PrepareHostapdConf, ExistingLinkIsKeptWhileItsTargetIsRewritten) {
    WriteProduct({"CN", "", "aa:bb:cc:dd:1e:2f", ""});
    sandbox::WriteFile(kWorkingCopy, "channel=1\n");
    ASSERT_EQ(symlink(kWorkingCopy, kConf), 0);
    prepare_hostapd_conf(kConf);
    EXPECT_TRUE(IsLink(kConf));
    EXPECT_STREQ(ReadConfig()->ssid, "ZAVORIN_4G_1E2F");
}

TEST_F(PrepareHostapdConf, SampleDeviceDataGivesAWorkingExportConfiguration) {
    const std::string samples = sandbox::SourceDir() + "/host/sample/";
    sandbox::WriteFile(kTemplate, sandbox::ReadFile(samples + "AR6004_hostapd.conf"));
    sandbox::WriteFile("/etc/config/product", sandbox::ReadFile(samples + "product"));
    prepare_hostapd_conf(kConf);
    ConfigPtr bss = ReadConfig();
    EXPECT_STREQ(bss->ssid, "ZAVORIN_4G_B35E");
    EXPECT_EQ(bss->wpa, 3);
    EXPECT_STREQ(bss->wpa_passphrase, "35643809");
    EXPECT_STREQ(bss->country, "DE");
    EXPECT_EQ(bss->wmode, 5);  // 11bgn
    EXPECT_EQ(bss->wps_state, 2);
    for (const std::string& line : logcap::Level5())
        EXPECT_EQ(line.find("Line "), std::string::npos) << line;
}
