#include "sta_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"

namespace {

StaListItem Station(const char* mac) {
    StaListItem item;
    item.SetMAC(mac);
    return item;
}

std::string Macs(StaList& list) {
    std::string macs;
    list._Lock();
    for (StaListItem* item = list._GetFirst(); item != nullptr; item = item->GetNext())
        macs += std::string(item->GetMAC()).substr(15) + " ";
    list._Unlock();
    return macs;
}

}  // namespace

TEST(StaListItemFields, LongTextsAreCutAndOverlappingSourcesAreSafe) {
    StaListItem item;
    item.SetHostName(std::string(70, 'h').c_str());
    item.SetOnlineTime("100:00:00");
    item.SetIP("192.168.100.1001");
    item.SetMAC("11:22:33:44:55:66:77");
    item.SetConnectedTime("123456789012");
    EXPECT_EQ(std::vector<std::string>({item.GetHostName(), item.GetOnlineTime(), item.GetIP(),
                                        item.GetMAC(), item.GetConnectedTime()}),
              std::vector<std::string>({std::string(64, 'h'), "100:00:0", "192.168.100.100",
                                        "11:22:33:44:55:66", "1234567890"}));
    item.SetHostName("laptop");
    item.SetHostName(nullptr);
    item.SetHostName(item.GetHostName());
    EXPECT_STREQ(item.GetHostName(), "laptop");
    item.SetHostName(item.GetHostName() + 3);
    EXPECT_STREQ(item.GetHostName(), "top");
}

TEST(StaListMembers, NewestFirstOnceByMacInAnyCaseAndRemovalRelinks) {
    StaList list;
    logcap::Clear();
    StaListItem key;                     // reused: the list keeps its own copy
    EXPECT_EQ(list.RemoveSta(&key), 0);  // nothing listed yet
    EXPECT_EQ(list.RemoveSta(nullptr), 0);
    EXPECT_EQ(list.AddSta(nullptr), 0);
    EXPECT_TRUE(logcap::Records().empty());
    for (const char* mac : {"00:00:00:00:00:0a", "00:00:00:00:00:02", "00:00:00:00:00:03",
                            "00:00:00:00:00:04", "00:00:00:00:00:0A"}) {
        key.SetMAC(mac);
        EXPECT_EQ(list.AddSta(&key), mac[16] == 'A' ? 0 : 1) << mac;
    }
    EXPECT_EQ(Macs(list), "04 03 02 0a ");
    for (const char* mac : {"00:00:00:00:00:04", "00:00:00:00:00:02", "00:00:00:00:00:05"}) {
        StaListItem item = Station(mac);
        EXPECT_EQ(list.RemoveSta(&item), mac[16] == '5' ? 0 : 1) << mac;
    }
    EXPECT_EQ(list.GetNum(), 2);
    EXPECT_EQ(Macs(list), "03 0a ");
    EXPECT_TRUE(logcap::Has(logcap::User(), "Found sta[00:00:00:00:00:04], ready to remove"));
    EXPECT_EQ(list.ClearAllStas(), 2);
    EXPECT_EQ(list.GetNum(), 0);
    EXPECT_EQ(Macs(list), "");
}

using RecentHostName = SandboxTest;

TEST_F(RecentHostName, UnknownWithoutANameAndNoCommandForAMalformedMac) {
    EXPECT_STREQ(Station("11:22:33:44:55:77").GetRecentHostName(), "Unknown");

    sandbox::WriteFile("/usr/bin/uci", "#!/bin/sh\necho \"$*\" >> /tmp/uci.calls\necho Injected\n");
    sandbox::Run("chmod 755 /usr/bin/uci");
    EXPECT_STREQ(Station("1:2;touch /tmp/x").GetRecentHostName(), "Unknown");
    EXPECT_FALSE(sandbox::Exists("/tmp/uci.calls"));
    EXPECT_STREQ(Station("aa:bb:cc:dd:ee:ff").GetRecentHostName(), "Injected");
    EXPECT_EQ(sandbox::ReadFile("/tmp/uci.calls"),
              "get dhcp_var.hostname_item.aa_bb_cc_dd_ee_ff\n");
}
