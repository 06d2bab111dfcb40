#include <gtest/gtest.h>
#include <string.h>
#include <time.h>

#include <string>

#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/support/log_capture.h"

namespace {

class StationDetails : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        agent_ = new HostapdAgent();
    }
    void TearDown() override { delete agent_; }

    void Add(const char* mac, const char* ip = "") {
        StaListItem key;
        key.SetMAC(mac);
        key.SetIP(ip);
        agent_->GetStaList()->AddSta(&key);
    }

    // The IP or host name of the listed station with this MAC (any case).
    std::string Ip(const char* mac) { return Field(mac, &StaListItem::GetIP); }
    std::string Host(const char* mac) { return Field(mac, &StaListItem::GetHostName); }
    std::string Field(const char* mac, char* (StaListItem::*getter)()) {
        auto station = agent_test::FindStation(*agent_, mac);
        return station ? ((*station).*getter)() : "<missing>";
    }

    static void Neighbour(const std::string& args) {
        ASSERT_EQ(sandbox::Run("ip neigh add " + args + " dev br0"), 0) << args;
    }

    HostapdAgent* agent_ = nullptr;
};

constexpr const char* kLeases = "/var/lib/misc/dnsmasq.leases";

}  // namespace

TEST_F(StationDetails, LeaseGivesHostNameAndIpMatchingMacInAnyCase) {
    Add("AA:BB:CC:DD:EE:01");
    Add("aa:bb:cc:dd:ee:02");
    sandbox::WriteFile(kLeases,
                       "1700000000 aa:bb:cc:dd:ee:01 192.0.2.10 laptop 01:aa:bb:cc:dd:ee:01\n"
                       "1700000000 aa:bb:cc:dd:ee:09 192.0.2.19 other *\n");
    agent_->GetAllStaHostname();
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:01"), "laptop");
    EXPECT_EQ(Ip("aa:bb:cc:dd:ee:01"), "192.0.2.10");
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:02"), "");
}

TEST_F(StationDetails, LeaseLineWithFourTokensStopsThePass) {
    Add("aa:bb:cc:dd:ee:01");
    Add("aa:bb:cc:dd:ee:02");
    sandbox::WriteFile(kLeases,
                       "1 aa:bb:cc:dd:ee:01 192.0.2.10 first id\n"
                       "1 aa:bb:cc:dd:ee:03 192.0.2.13 broken\n"
                       "1 aa:bb:cc:dd:ee:02 192.0.2.12 second id\n");
    agent_->GetAllStaHostname();
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:01"), "first");
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:02"), "");
    EXPECT_TRUE(logcap::Has(logcap::Errors(),
                            "HostapdAgent::UpdateSingleStaHost: Parse DHCP data failed."));
}

TEST_F(StationDetails, OneStationLeaseNeedsTheExactMacTextAndStopsAtIt) {
    Add("aa:bb:cc:dd:ee:01");
    sandbox::WriteFile(kLeases,
                       "1 AA:BB:CC:DD:EE:01 192.0.2.9 upper id\n"
                       "1 aa:bb:cc:dd:ee:01 192.0.2.10 first id\n"
                       "1 aa:bb:cc:dd:ee:01 192.0.2.11 second id\n");
    agent_->UpdateSingleStaHost("aa:bb:cc:dd:ee:01");
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:01"), "first");
    EXPECT_EQ(Ip("aa:bb:cc:dd:ee:01"), "192.0.2.10");
}

TEST_F(StationDetails, GarbageLeaseFileNeverBreaksThePass) {
    Add("aa:bb:cc:dd:ee:01");
    std::string garbage = "1 " + std::string(40, 'm') + " 192.0.2.1 skipped id\n";
    garbage += "1 aa:bb:cc:dd:ee:01 192.0.2.10 " + std::string(300, 'h') + "\n";
    garbage += std::string("\x01\xff\0\x7f binary\n", 12);
    sandbox::WriteFile(kLeases, garbage);
    agent_->GetAllStaHostname();
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:01"), "");
    EXPECT_TRUE(logcap::Has(logcap::Errors(),
                            "HostapdAgent::UpdateSingleStaHost: Parse DHCP data failed."));

    sandbox::WriteFile(kLeases, "1 " + std::string(40, 'm') + " 192.0.2.1 skipped id\n" +
                                    "1 aa:bb:cc:dd:ee:01 192.0.2.10 kept " + std::string(80, 'c') +
                                    "\n");
    agent_->GetAllStaHostname();
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:01"), "kept");
}

TEST_F(StationDetails, CompleteArpEntryWinsOverTheLease) {
    Add("AA:BB:CC:DD:EE:01");
    sandbox::WriteFile(kLeases, "1 aa:bb:cc:dd:ee:01 192.0.2.10 laptop id\n");
    Neighbour("192.0.2.20 lladdr aa:bb:cc:dd:ee:01 nud permanent");
    agent_->CompleteAllStaInfo();
    EXPECT_EQ(Host("aa:bb:cc:dd:ee:01"), "laptop");
    EXPECT_EQ(Ip("aa:bb:cc:dd:ee:01"), "192.0.2.20");
}

TEST_F(StationDetails, IncompleteArpEntryIsIgnored) {
    Add("00:00:00:00:00:00");
    Neighbour("192.0.2.30 nud incomplete");
    ASSERT_NE(sandbox::ReadFile("/proc/net/arp").find("0x0"), std::string::npos);
    agent_->GetAllStaIP();
    EXPECT_EQ(Ip("00:00:00:00:00:00"), "");
}

TEST_F(StationDetails, OneStationArpNeedsTheExactMacText) {
    Add("aa:bb:cc:dd:ee:01");
    Neighbour("192.0.2.20 lladdr aa:bb:cc:dd:ee:01 nud stale");
    agent_->UpdateSingleStaIP("AA:BB:CC:DD:EE:01");
    EXPECT_EQ(Ip("aa:bb:cc:dd:ee:01"), "");
    agent_->UpdateSingleSta("aa:bb:cc:dd:ee:01");
    EXPECT_EQ(Ip("aa:bb:cc:dd:ee:01"), "192.0.2.20");
}

TEST_F(StationDetails, CacheFlushUsesTheInterfaceLearnedFromAChangedArpIp) {
    Add("aa:bb:cc:dd:ee:01", "192.0.2.20");
    Neighbour("192.0.2.20 lladdr aa:bb:cc:dd:ee:01 nud permanent");
    Neighbour("192.0.2.21 lladdr aa:bb:cc:dd:ee:02 nud permanent");
    agent_test::InstallRecorder("ip");
    agent_->GetAllStaIP();  // an unchanged IP teaches nothing
    agent_->DropArpCache();
    EXPECT_EQ(agent_test::Calls("ip"), "route flush cache\n");

    Add("aa:bb:cc:dd:ee:02");
    agent_->GetAllStaIP();
    agent_->DropArpCache();
    EXPECT_EQ(agent_test::Calls("ip"),
              "route flush cache\nroute flush cache\nneigh flush dev br0\n");
}

TEST_F(StationDetails, FailedFlushIsLoggedWithItsStatus) {
    agent_test::InstallRecorder("ip");
    sandbox::WriteFile("/tmp/ip.status", "1");
    agent_->DropArpCache();
    EXPECT_TRUE(logcap::Has(
        logcap::Errors(), "Drop arp cache failed with ret[256]. cmd line: ip route flush cache\n"));
}

TEST_F(StationDetails, OnlineTimeCountsFromTheConnectedTime) {
    Add("aa:bb:cc:dd:ee:01");
    Add("aa:bb:cc:dd:ee:02");
    StaList* list = agent_->GetStaList();
    long now = agent_test::MonotonicSeconds();
    list->_Lock();
    for (StaListItem* item = list->_GetFirst(); item; item = item->GetNext()) {
        bool first = strcmp(item->GetMAC(), "aa:bb:cc:dd:ee:01") == 0;
        item->SetConnectedTime(std::to_string(first ? now - 3661 : now + 1000).c_str());
    }
    list->_Unlock();
    agent_->UpdateAllStaOnlineTime();
    std::string online = Field("aa:bb:cc:dd:ee:01", &StaListItem::GetOnlineTime);
    EXPECT_TRUE(online == "01:01:01" || online == "01:01:02") << online;
    EXPECT_EQ(Field("aa:bb:cc:dd:ee:02", &StaListItem::GetOnlineTime), "00:00:00");
}
