#include "config/maclist.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

struct MacList {
    wlan_mgr_mac_entry* entries = nullptr;
    int32_t count = 0;
    ~MacList() { free(entries); }
};

}  // namespace

using MacListFile = SandboxTest;

TEST_F(MacListFile, DescriptionBelongsToTheNextAddressOnly) {
    sandbox::WriteFile("/etc/config/hostapd.deny",
                       "#DESCRIPTION:phone\naa:bb:cc:dd:ee:ff\n11:22:33:44:55:66\n");
    MacList list;
    ASSERT_EQ(wlan_mgr_config_read_maclist("/etc/config/hostapd.deny", &list.entries, &list.count),
              0);
    ASSERT_EQ(list.count, 2);
    EXPECT_STREQ(list.entries[0].mac, "aa:bb:cc:dd:ee:ff");
    EXPECT_STREQ(list.entries[0].description, "phone");
    EXPECT_STREQ(list.entries[1].mac, "11:22:33:44:55:66");
    EXPECT_STREQ(list.entries[1].description, "");
}

TEST_F(MacListFile, WrittenBackEveryAddressGetsADescriptionLine) {
    sandbox::WriteFile("/etc/config/hostapd.deny",
                       "#DESCRIPTION:phone\naa:bb:cc:dd:ee:ff\n11:22:33:44:55:66\n");
    ConfigPtr bss = ReadConfigText("ssid=x\n");
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/hostapd.deny"),
              "#DESCRIPTION:phone\naa:bb:cc:dd:ee:ff\n#DESCRIPTION:\n11:22:33:44:55:66\n");
}

TEST_F(MacListFile, DescriptionMayFollowOtherTextInTheComment) {
    sandbox::WriteFile("/etc/config/list",
                       "# blocked DESCRIPTION:tv set\n# other note\n\naa:bb:cc:dd:ee:ff\n");
    MacList list;
    ASSERT_EQ(wlan_mgr_config_read_maclist("/etc/config/list", &list.entries, &list.count), 0);
    ASSERT_EQ(list.count, 1);
    EXPECT_STREQ(list.entries[0].description, "tv set");
}

TEST_F(MacListFile, FirstSeventeenCharactersAreTakenUnchecked) {
    sandbox::WriteFile("/etc/config/list", "AA-BB-CC-DD-EE-FF trailing\nshort\n");
    MacList list;
    ASSERT_EQ(wlan_mgr_config_read_maclist("/etc/config/list", &list.entries, &list.count), 0);
    ASSERT_EQ(list.count, 2);
    EXPECT_STREQ(list.entries[0].mac, "AA-BB-CC-DD-EE-FF");
    EXPECT_STREQ(list.entries[1].mac, "short");
}

TEST_F(MacListFile, OverLongDescriptionIsCutToTheField) {
    sandbox::WriteFile("/etc/config/list",
                       "#DESCRIPTION:" + std::string(40, 'd') + "\naa:bb:cc:dd:ee:ff\n");
    MacList list;
    ASSERT_EQ(wlan_mgr_config_read_maclist("/etc/config/list", &list.entries, &list.count), 0);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.entries[0].description, std::string(32, 'd'));
    EXPECT_TRUE(HasLevel5("Line 1: value of DESCRIPTION cut to 32 characters"));
}

TEST_F(MacListFile, MissingFileFailsAndNullPathDoesNothing) {
    MacList list;
    EXPECT_EQ(wlan_mgr_config_read_maclist("/etc/config/none", &list.entries, &list.count), -1);
    EXPECT_TRUE(HasLevel5("MAC list file '/etc/config/none' not found."));
    EXPECT_EQ(wlan_mgr_config_read_maclist(nullptr, &list.entries, &list.count), 0);
    EXPECT_EQ(list.count, 0);
}

TEST_F(MacListFile, EmptyListLeavesAnEmptyFile) {
    sandbox::WriteFile("/etc/config/list", "aa:bb:cc:dd:ee:ff\n");
    wlan_mgr_config_write_maclist("/etc/config/list", nullptr, 0);
    EXPECT_TRUE(sandbox::Exists("/etc/config/list"));
    EXPECT_EQ(sandbox::ReadFile("/etc/config/list"), "");
}
