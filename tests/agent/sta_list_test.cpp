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

TEST(StaListItemFields, LongTextsAreCutToTheField) {
    StaListItem item;
    item.SetHostName(std::string(70, 'h').c_str());
    EXPECT_EQ(std::string(item.GetHostName()), std::string(64, 'h'));
    item.SetOnlineTime("100:00:00");
    EXPECT_STREQ(item.GetOnlineTime(), "100:00:0");
    item.SetIP("192.168.100.1001");
    EXPECT_STREQ(item.GetIP(), "192.168.100.100");
    item.SetMAC("11:22:33:44:55:66:77");
    EXPECT_STREQ(item.GetMAC(), "11:22:33:44:55:66");
    item.SetConnectedTime("123456789012");
    EXPECT_STREQ(item.GetConnectedTime(), "1234567890");
}

TEST(StaListItemFields, NullOrTheFieldItselfLeavesItUnchanged) {
    StaListItem item;
    item.SetHostName("laptop");
    item.SetHostName(nullptr);
    item.SetHostName(item.GetHostName());
    EXPECT_STREQ(item.GetHostName(), "laptop");
    item.SetHostName(item.GetHostName() + 3);
    EXPECT_STREQ(item.GetHostName(), "top");
}

TEST(StaListItemFields, CopyKeepsStationDataButNotTheLink) {
    StaListItem other;
    StaListItem item = Station("aa:bb:cc:dd:ee:ff", "192.0.2.5");
    item.SetHostName("phone");
    item.SetConnectedTime("42");
    item.SetOnlineTime("00:00:07");
    item.SetNext(&other);
    StaListItem copy(item);
    EXPECT_STREQ(copy.GetMAC(), "aa:bb:cc:dd:ee:ff");
    EXPECT_STREQ(copy.GetIP(), "192.0.2.5");
    EXPECT_STREQ(copy.GetHostName(), "phone");
    EXPECT_STREQ(copy.GetConnectedTime(), "42");
    EXPECT_STREQ(copy.GetOnlineTime(), "00:00:07");
    EXPECT_EQ(copy.GetNext(), nullptr);
}

TEST(StaListMembers, SameMacInOtherCaseIsNotAddedTwice) {
    StaList list;
    StaListItem lower = Station("aa:bb:cc:dd:ee:ff");
    StaListItem upper = Station("AA:BB:CC:DD:EE:FF");
    EXPECT_EQ(list.AddSta(&lower), 1);
    EXPECT_EQ(list.AddSta(&upper), 0);
    EXPECT_EQ(list.GetNum(), 1);
    EXPECT_EQ(Macs(list), (std::vector<std::string>{"aa:bb:cc:dd:ee:ff"}));
}

TEST(StaListMembers, NewestFirstRemovalRelinksAndClearCounts) {
    StaList list;
    EXPECT_EQ(list.ClearAllStas(), 0);
    StaListItem key;  // reused: the list keeps its own copy
    for (const char* mac :
         {"00:00:00:00:00:01", "00:00:00:00:00:02", "00:00:00:00:00:03", "00:00:00:00:00:04"}) {
        key.SetMAC(mac);
        EXPECT_EQ(list.AddSta(&key), 1);
    }
    EXPECT_EQ(Macs(list), (std::vector<std::string>{"00:00:00:00:00:04", "00:00:00:00:00:03",
                                                    "00:00:00:00:00:02", "00:00:00:00:00:01"}));
    logcap::Clear();
    StaListItem head = Station("00:00:00:00:00:04");
    StaListItem middle = Station("00:00:00:00:00:02");
    EXPECT_EQ(list.RemoveSta(&head), 1);
    EXPECT_EQ(list.RemoveSta(&middle), 1);
    EXPECT_EQ(list.GetNum(), 2);
    EXPECT_EQ(Macs(list), (std::vector<std::string>{"00:00:00:00:00:03", "00:00:00:00:00:01"}));
    EXPECT_TRUE(logcap::Has(logcap::User(), "Found sta[00:00:00:00:00:04], ready to remove"));

    EXPECT_EQ(list.ClearAllStas(), 2);
    EXPECT_EQ(list.GetNum(), 0);
    list._Lock();
    EXPECT_EQ(list._GetFirst(), nullptr);
    list._Unlock();
}

TEST(StaListMembers, RemovingFromAnEmptyListLogsNothing) {
    StaList list;
    logcap::Clear();
    StaListItem key = Station("aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(list.RemoveSta(&key), 0);
    EXPECT_EQ(list.RemoveSta(nullptr), 0);
    EXPECT_TRUE(logcap::Records().empty());
}

TEST(StaListPrint, CountHeaderAndStationsNumberedFromTheNewest) {
    StaList list;
    testing::internal::CaptureStdout();
    list.Print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nCurrent stas: 0\n"
              "   No.  |         IP        |        MAC        |     Host Name        |     "
              "Online Time\n");

    StaListItem first = Station("00:00:00:00:00:01", "192.0.2.10");
    first.SetHostName("old");
    first.SetOnlineTime("01:00:00");
    StaListItem second = Station("00:00:00:00:00:02", "192.0.2.11");
    second.SetHostName("new");
    second.SetOnlineTime("00:00:05");
    list.AddSta(&first);
    list.AddSta(&second);
    testing::internal::CaptureStdout();
    list.Print();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\nCurrent stas: 2\n"), std::string::npos);
    EXPECT_NE(out.find("       1|         192.0.2.11|  00:00:00:00:00:02|new|00:00:05\n"
                       "       2|         192.0.2.10|  00:00:00:00:00:01|old|01:00:00\n"),
              std::string::npos);
}

using RecentHostName = SandboxTest;

TEST_F(RecentHostName, ReadsTheNameTheUserGaveTheStation) {
    sandbox::WriteFile("/etc/config/dhcp_var",
                       "config hostname_item 'hostname_item'\n"
                       "\toption 11_22_33_44_55_66 'Kitchen tablet'\n");
    StaListItem item = Station("11:22:33:44:55:66");
    EXPECT_STREQ(item.GetRecentHostName(), "Kitchen tablet");
    StaListItem unnamed = Station("11:22:33:44:55:77");
    EXPECT_STREQ(unnamed.GetRecentHostName(), "Unknown");
}

TEST_F(RecentHostName, MalformedMacRunsNoCommand) {
    sandbox::WriteFile("/usr/bin/uci", "#!/bin/sh\necho \"$*\" >> /tmp/uci.calls\necho Injected\n");
    sandbox::Run("chmod 755 /usr/bin/uci");
    StaListItem item = Station("1:2;touch /tmp/x");
    EXPECT_STREQ(item.GetRecentHostName(), "Unknown");
    EXPECT_FALSE(sandbox::Exists("/tmp/uci.calls"));
    EXPECT_FALSE(logcap::Level5().empty());
    StaListItem good = Station("aa:bb:cc:dd:ee:ff");
    EXPECT_STREQ(good.GetRecentHostName(), "Injected");
    EXPECT_EQ(sandbox::ReadFile("/tmp/uci.calls"),
              "get dhcp_var.hostname_item.aa_bb_cc_dd_ee_ff\n");
}
