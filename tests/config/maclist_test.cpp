#include "config/maclist.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/config/config_test_support.h"

namespace {

// Reads a MAC list file; entries come back as "mac|description".
std::vector<std::string> ReadList(const char* path, int* rc) {
    wlan_mgr_mac_entry* entries = nullptr;
    int32_t count = 0;
    *rc = wlan_mgr_config_read_maclist(path, &entries, &count);
    std::vector<std::string> list;
    for (int32_t i = 0; i < count; ++i)
        list.push_back(std::string(entries[i].mac) + "|" + entries[i].description);
    free(entries);
    return list;
}

}  // namespace

using MacListFile = SandboxTest;

// A description belongs to the next address only and may follow other text in its comment;
// the first seventeen characters of a line are the address, unchecked.
TEST_F(MacListFile, ReadsAddressesWithTheDescriptionBeforeThem) {
    const std::string long_description(40, 'd');
    const struct {
        std::string file;
        std::vector<std::string> entries;
    } cases[] = {
        {"#DESCRIPTION:phone\naa:bb:cc:dd:ee:ff\n11:22:33:44:55:66\n",
         {"aa:bb:cc:dd:ee:ff|phone", "11:22:33:44:55:66|"}},
        {"# blocked DESCRIPTION:tv set\n# other note\n\naa:bb:cc:dd:ee:ff\n",
         {"aa:bb:cc:dd:ee:ff|tv set"}},
        {"AA-BB-CC-DD-EE-FF trailing\nshort\n", {"AA-BB-CC-DD-EE-FF|", "short|"}},
        {"#DESCRIPTION:" + long_description + "\naa:bb:cc:dd:ee:ff\n",
         {"aa:bb:cc:dd:ee:ff|" + long_description.substr(0, 32)}},
    };
    for (const auto& c : cases) {
        sandbox::WriteFile("/etc/config/list", c.file);
        int rc;
        EXPECT_EQ(ReadList("/etc/config/list", &rc), c.entries) << c.file;
        EXPECT_EQ(rc, 0);
    }
    EXPECT_TRUE(HasLevel5("Line 1: value of DESCRIPTION cut to 32 characters"));
}

TEST_F(MacListFile, MissingFileFailsAndNullPathDoesNothing) {
    int rc;
    EXPECT_TRUE(ReadList("/etc/config/none", &rc).empty());
    EXPECT_EQ(rc, -1);
    EXPECT_TRUE(HasLevel5("MAC list file '/etc/config/none' not found."));
    EXPECT_TRUE(ReadList(nullptr, &rc).empty());
    EXPECT_EQ(rc, 0);
}

TEST_F(MacListFile, EmptyListLeavesAnEmptyFile) {
    sandbox::WriteFile("/etc/config/list", "aa:bb:cc:dd:ee:ff\n");
    AtomicFile file;
    ASSERT_TRUE(wlan_mgr_config_write_maclist(&file, "/etc/config/list", nullptr, 0));
    ASSERT_TRUE(file.Commit());
    EXPECT_TRUE(sandbox::Exists("/etc/config/list"));
    EXPECT_EQ(sandbox::ReadFile("/etc/config/list"), "");
}
