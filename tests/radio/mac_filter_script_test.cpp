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

TEST_F(MacFilterScript, ModeLineThenTheListWithDeauthenticationWhenDenying) {
    const std::string kMac55 = "${WL} mac 00:11:22:33:44:55\n";
    const std::pair<int, std::string> one_mac[] = {
        {3, "1\n${WL} mac none\n" + kMac55 + "${WL} deauthenticate 00:11:22:33:44:55\n"},
        {2, "2\n${WL} mac none\n" + kMac55},
        // With the filter off the list is still loaded.
        {0, "0\n${WL} mac none\n" + kMac55},
        {1, "0\n${WL} mac none\n" + kMac55},
        {7, "0\n${WL} mac none\n" + kMac55},
    };
    for (const auto& c : one_mac) {
        TestBss bss;
        bss->macaddr_acl = c.first;
        bss.AddMac("00:11:22:33:44:55");
        EXPECT_EQ(Generate(bss), kHead + "${WL} macmode " + c.second) << "acl " << c.first;
    }

    TestBss empty;
    empty->macaddr_acl = 3;
    EXPECT_EQ(Generate(empty), kHead + "${WL} macmode 1\n${WL} mac none\n");
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

TEST_F(MacFilterScript, ScriptThatCannotBeCreatedFails) {
    TestBss bss;
    EXPECT_EQ(wlan_mgr_mac_fliter_to_wl_sh(bss.get(), "/tmp/none/bcm_mac_filter.sh"), -1);
    EXPECT_TRUE(HasLevel5("fopen /tmp/none/bcm_mac_filter.sh error!"));
}
