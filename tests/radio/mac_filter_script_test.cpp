#include "tests/radio/radio_test_support.h"

// The MAC filter script: mode line, the list cleared, then one line per MAC (and a
// deauthentication after each when the list denies).
using MacFilterScript = SandboxTest;

namespace {

constexpr const char* kPath = "/usr/bin/bcm_mac_filter.sh";
const std::string kHead = "#!/bin/sh\n\n#mac filter\n\nWL=\"$1\"\n";

std::string Generate(TestBss& bss) {
    EXPECT_EQ(wlan_mgr_mac_fliter_to_wl_sh(bss.get(), kPath), 0);
    return sandbox::ReadFile(kPath);
}

}  // namespace

TEST_F(MacFilterScript, DenyListDeauthenticatesEachStationAfterListingIt) {
    TestBss bss;
    bss->macaddr_acl = 3;
    bss.AddMac("00:11:22:33:44:55");
    bss.AddMac("AA:bb:CC:dd:EE:ff");
    EXPECT_EQ(Generate(bss),
              kHead + "${WL} macmode 1\n${WL} mac none\n" + "${WL} mac 00:11:22:33:44:55\n" +
                  "${WL} deauthenticate 00:11:22:33:44:55\n" + "${WL} mac AA:bb:CC:dd:EE:ff\n" +
                  "${WL} deauthenticate AA:bb:CC:dd:EE:ff\n");
}

TEST_F(MacFilterScript, AllowListOnlyListsTheStations) {
    TestBss bss;
    bss->macaddr_acl = 2;
    bss.AddMac("00:11:22:33:44:55");
    bss.AddMac("00:11:22:33:44:66");
    EXPECT_EQ(Generate(bss), kHead + "${WL} macmode 2\n${WL} mac none\n" +
                                 "${WL} mac 00:11:22:33:44:55\n${WL} mac 00:11:22:33:44:66\n");
}

TEST_F(MacFilterScript, FilterOffStillLoadsTheList) {
    for (int acl : {0, 1, 7}) {
        TestBss bss;
        bss->macaddr_acl = acl;
        bss.AddMac("00:11:22:33:44:55");
        EXPECT_EQ(Generate(bss),
                  kHead + "${WL} macmode 0\n${WL} mac none\n${WL} mac 00:11:22:33:44:55\n");
    }
}

TEST_F(MacFilterScript, EmptyListOnlyClearsTheRadioList) {
    TestBss bss;
    bss->macaddr_acl = 3;
    EXPECT_EQ(Generate(bss), kHead + "${WL} macmode 1\n${WL} mac none\n");
}

TEST_F(MacFilterScript, InvalidMacsAreLeftOutWithAMessage) {
    TestBss bss;
    bss->macaddr_acl = 3;
    bss.AddMac("00:11:22:33:44:5;");
    bss.AddMac("$(reboot)");
    bss.AddMac("00:11:22:33:44:5");
    bss.AddMac("00-11-22-33-44-55");
    bss.AddMac("00:11:22:33:44:66");
    EXPECT_EQ(Generate(bss), kHead + "${WL} macmode 1\n${WL} mac none\n" +
                                 "${WL} mac 00:11:22:33:44:66\n" +
                                 "${WL} deauthenticate 00:11:22:33:44:66\n");
    EXPECT_TRUE(HasLevel5("mac filter: skip invalid MAC [00:11:22:33:44:5;]"));
    EXPECT_TRUE(HasLevel5("mac filter: skip invalid MAC [$(reboot)]"));
    EXPECT_TRUE(HasLevel5("mac filter: skip invalid MAC [00:11:22:33:44:5]"));
    EXPECT_TRUE(HasLevel5("mac filter: skip invalid MAC [00-11-22-33-44-55]"));
}

TEST_F(MacFilterScript, RunsAgainstTheWlCommand) {
    TestBss bss;
    bss->macaddr_acl = 3;
    bss.AddMac("00:11:22:33:44:55");
    Generate(bss);
    sandbox::WriteFile("/tmp/fakewl", "#!/bin/sh\necho \"$*\" >> /tmp/wl.log\n");
    ASSERT_EQ(sandbox::Run("chmod 755 /tmp/fakewl"), 0);
    ASSERT_EQ(sandbox::Run(std::string(kPath) + " /tmp/fakewl"), 0);
    EXPECT_EQ(sandbox::ReadFile("/tmp/wl.log"),
              "macmode 1\nmac none\nmac 00:11:22:33:44:55\ndeauthenticate 00:11:22:33:44:55\n");
}

TEST_F(MacFilterScript, ScriptThatCannotBeCreatedFails) {
    TestBss bss;
    EXPECT_EQ(wlan_mgr_mac_fliter_to_wl_sh(bss.get(), "/tmp/none/bcm_mac_filter.sh"), -1);
    EXPECT_TRUE(HasLevel5("fopen /tmp/none/bcm_mac_filter.sh error!"));
}
