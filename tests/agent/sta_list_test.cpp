#include "sta_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"

namespace {

StaListItem Station(const char* mac, const char* ip = "") {
    StaListItem item;
    item.SetMAC(mac);
    item.SetIP(ip);
    return item;
}

std::vector<std::string> Macs(StaList& list) {
    std::vector<std::string> macs;
    list._Lock();
    for (StaListItem* item = list._GetFirst(); item != nullptr; item = item->GetNext())
        macs.push_back(item->GetMAC());
    list._Unlock();
    return macs;
}

}  // namespace

TEST(StaListItemFields, LongTextsAreCutAndOverlappingSourcesAreSafe) {
    StaListItem item;
    item.SetHostName(std::string(70, 'h').c_str());
    EXPECT_EQ(std::string(item.GetHostName()), std::string(64, 'h'));
    item.SetOnlineTime("100:00:00");
    item.SetIP("192.168.100.1001");
    item.SetMAC("11:22:33:44:55:66:77");
    item.SetConnectedTime("123456789012");
    EXPECT_EQ(std::vector<std::string>(
                  {item.GetOnlineTime(), item.GetIP(), item.GetMAC(), item.GetConnectedTime()}),
              std::vector<std::string>(
                  {"100:00:0", "192.168.100.100", "11:22:33:44:55:66", "1234567890"}));
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
    EXPECT_EQ(list.ClearAllStas(), 0);
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
    EXPECT_EQ(Macs(list), (std::vector<std::string>{"00:00:00:00:00:04", "00:00:00:00:00:03",
                                                    "00:00:00:00:00:02", "00:00:00:00:00:0a"}));
    StaListItem head = Station("00:00:00:00:00:04");
    StaListItem middle = Station("00:00:00:00:00:02");
    StaListItem absent = Station("00:00:00:00:00:05");
    EXPECT_EQ(list.RemoveSta(&head), 1);
    EXPECT_EQ(list.RemoveSta(&middle), 1);
    EXPECT_EQ(list.RemoveSta(&absent), 0);
    EXPECT_EQ(list.GetNum(), 2);
    EXPECT_EQ(Macs(list), (std::vector<std::string>{"00:00:00:00:00:03", "00:00:00:00:00:0a"}));
    EXPECT_TRUE(logcap::Has(logcap::User(), "Found sta[00:00:00:00:00:04], ready to remove"));
    EXPECT_EQ(list.ClearAllStas(), 2);
    EXPECT_EQ(list.GetNum(), 0);
    EXPECT_TRUE(Macs(list).empty());
}

using RecentHostName = SandboxTest;

TEST_F(RecentHostName, ReadsTheUsersNameAndRunsNoCommandForAMalformedMac) {
    sandbox::WriteFile("/etc/config/dhcp_var",
                       "config hostname_item 'hostname_item'\n"
                       "\toption 11_22_33_44_55_66 'Kitchen tablet'\n");
    EXPECT_STREQ(Station("11:22:33:44:55:66").GetRecentHostName(), "Kitchen tablet");
    EXPECT_STREQ(Station("11:22:33:44:55:77").GetRecentHostName(), "Unknown");

    sandbox::WriteFile("/usr/bin/uci", "#!/bin/sh\necho \"$*\" >> /tmp/uci.calls\necho Injected\n");
    sandbox::Run("chmod 755 /usr/bin/uci");
    EXPECT_STREQ(Station("1:2;touch /tmp/x").GetRecentHostName(), "Unknown");
    EXPECT_FALSE(sandbox::Exists("/tmp/uci.calls"));
    EXPECT_FALSE(logcap::Level5().empty());
    EXPECT_STREQ(Station("aa:bb:cc:dd:ee:ff").GetRecentHostName(), "Injected");
    EXPECT_EQ(sandbox::ReadFile("/tmp/uci.calls"),
              "get dhcp_var.hostname_item.aa_bb_cc_dd_ee_ff\n");
}
