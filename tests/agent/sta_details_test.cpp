#include <gtest/gtest.h>
#include <string.h>

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

    // "host ip" of the listed station with this MAC (any case).
    std::string Of(const char* mac) {
        auto station = agent_test::FindStation(*agent_, mac);
        return station ? std::string(station->GetHostName()) + " " + station->GetIP() : "<missing>";
    }

    static void Neighbour(const std::string& args) {
        ASSERT_EQ(sandbox::Run("ip neigh add " + args + " dev br0"), 0) << args;
    }
    static bool ParseFailed() {
        return logcap::Has(logcap::Errors(),
                           "HostapdAgent::UpdateSingleStaHost: Parse DHCP data failed.");
    }

    HostapdAgent* agent_ = nullptr;
};

constexpr const char* kLeases = "/var/lib/misc/dnsmasq.leases";

}  // namespace

// The full pass matches MACs in any case and stops at a lease line it cannot parse.
TEST_F(StationDetails, LeasesGiveHostNameAndIpUntilAnUnparsableLine) {
    Add("AA:BB:CC:DD:EE:01");
    Add("aa:bb:cc:dd:ee:02");
    Add("aa:bb:cc:dd:ee:03");
    sandbox::WriteFile(kLeases,
                       "1700000000 aa:bb:cc:dd:ee:01 192.0.2.10 laptop 01:aa:bb:cc\n"
                       "1 aa:bb:cc:dd:ee:09 192.0.2.19 other *\n"
                       "1 aa:bb:cc:dd:ee:02 192.0.2.12 broken\n"
                       "1 aa:bb:cc:dd:ee:03 192.0.2.13 third id\n");
    agent_->GetAllStaHostname();
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:01"), "laptop 192.0.2.10");
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:02"), " ");
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:03"), " ");
    EXPECT_TRUE(ParseFailed());
}

TEST_F(StationDetails, OneStationLeaseNeedsTheExactMacTextAndStopsAtIt) {
    Add("aa:bb:cc:dd:ee:01");
    sandbox::WriteFile(kLeases,
                       "1 AA:BB:CC:DD:EE:01 192.0.2.9 upper id\n"
                       "1 aa:bb:cc:dd:ee:01 192.0.2.10 first id\n"
                       "1 aa:bb:cc:dd:ee:01 192.0.2.11 second id\n");
    agent_->UpdateSingleStaHost("aa:bb:cc:dd:ee:01");
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:01"), "first 192.0.2.10");
}

TEST_F(StationDetails, GarbageLeaseFileNeverBreaksThePass) {
    Add("aa:bb:cc:dd:ee:01");
    const std::string long_mac = "1 " + std::string(40, 'm') + " 192.0.2.1 skipped id\n";
    sandbox::WriteFile(kLeases, long_mac + "1 aa:bb:cc:dd:ee:01 192.0.2.10 " +
                                    std::string(300, 'h') + "\n" +
                                    std::string("\x01\xff\0\x7f binary\n", 12));
    agent_->GetAllStaHostname();
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:01"), " ");
    EXPECT_TRUE(ParseFailed());

    sandbox::WriteFile(
        kLeases, long_mac + "1 aa:bb:cc:dd:ee:01 192.0.2.10 kept " + std::string(80, 'c') + "\n");
    agent_->GetAllStaHostname();
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:01"), "kept 192.0.2.10");
}

// A complete ARP entry wins over the lease; an incomplete one and, for one station, a MAC in
// other case are ignored.
TEST_F(StationDetails, ArpGivesTheIpOfCompleteEntries) {
    Add("AA:BB:CC:DD:EE:01");
    Add("00:00:00:00:00:00");
    sandbox::WriteFile(kLeases, "1 aa:bb:cc:dd:ee:01 192.0.2.10 laptop id\n");
    Neighbour("192.0.2.20 lladdr aa:bb:cc:dd:ee:01 nud permanent");
    Neighbour("192.0.2.30 nud incomplete");
    ASSERT_NE(sandbox::ReadFile("/proc/net/arp").find("0x0"), std::string::npos);
    agent_->CompleteAllStaInfo();
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:01"), "laptop 192.0.2.20");
    EXPECT_EQ(Of("00:00:00:00:00:00"), " ");

    Add("aa:bb:cc:dd:ee:03");
    Neighbour("192.0.2.23 lladdr aa:bb:cc:dd:ee:03 nud stale");
    agent_->UpdateSingleStaIP("AA:BB:CC:DD:EE:03");
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:03"), " ");
    agent_->UpdateSingleSta("aa:bb:cc:dd:ee:03");
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:03"), " 192.0.2.23");
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
    std::string online = agent_test::FindStation(*agent_, "aa:bb:cc:dd:ee:01")->GetOnlineTime();
    EXPECT_TRUE(online == "01:01:01" || online == "01:01:02") << online;
    EXPECT_STREQ(agent_test::FindStation(*agent_, "aa:bb:cc:dd:ee:02")->GetOnlineTime(),
                 "00:00:00");
}
