#include "sta_list.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "agent/spy_state.h"
#include "agent/sta_sources.h"
#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "wlan_time.h"

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

TEST(StaListItemFields, LongTextsAreCut) {
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
}

TEST(StaListMembers, NewestFirstOnceByMacInAnyCaseAndRemovalRelinks) {
    StaList list;
    StaListItem key;                     // reused: the list keeps its own copy
    EXPECT_EQ(list.RemoveSta(&key), 0);  // nothing listed yet
    EXPECT_EQ(list.RemoveSta(nullptr), 0);
    EXPECT_EQ(list.AddSta(nullptr), 0);
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
    EXPECT_EQ(Macs(list), "");
}

using RecentHostName = SandboxTest;

TEST_F(RecentHostName, UnknownWithoutANameAndNoCommandForAMalformedMac) {
    EXPECT_STREQ(Station("11:22:33:44:55:77").GetRecentHostName(), "Unknown");

    WriteShellScript("/usr/bin/uci", "echo \"$*\" >> /tmp/uci.calls\necho Injected\n");
    EXPECT_STREQ(Station("1:2;touch /tmp/x").GetRecentHostName(), "Unknown");
    EXPECT_FALSE(sandbox::Exists("/tmp/uci.calls"));
    EXPECT_STREQ(Station("aa:bb:cc:dd:ee:ff").GetRecentHostName(), "Injected");
    EXPECT_EQ(sandbox::ReadFile("/tmp/uci.calls"),
              "get dhcp_var.hostname_item.aa_bb_cc_dd_ee_ff\n");
}

namespace {

constexpr const char* kLeases = "/var/lib/misc/dnsmasq.leases";

class StationDetails : public SandboxTest {
protected:
    void Prepare() override { agent_ = new HostapdAgent(); }
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

    HostapdAgent* agent_ = nullptr;
};

}  // namespace

// The full pass matches MACs in any case, skips lines with an overlong MAC (cut, it would name a
// listed station) and stops at a line it cannot parse.
TEST_F(StationDetails, LeasesGiveHostNameAndIpUntilAnUnparsableLine) {
    Add("AA:BB:CC:DD:EE:01");
    Add("aa:bb:cc:dd:ee:02");
    Add("aa:bb:cc:dd:ee:03");
    sandbox::WriteFile(kLeases,
                       "1700000000 aa:bb:cc:dd:ee:01 192.0.2.10 laptop 01:aa:bb:cc\n"
                       "1 aa:bb:cc:dd:ee:01:02:03 192.0.2.1 skipped id\n"
                       "1 aa:bb:cc:dd:ee:09 192.0.2.19 other *\n"
                       "1 aa:bb:cc:dd:ee:02 192.0.2.12 broken\n"
                       "1 aa:bb:cc:dd:ee:03 192.0.2.13 third id\n");
    agent_->GetAllStaHostname();
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:01"), "laptop 192.0.2.10");
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:02"), " ");
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:03"), " ");
    EXPECT_TRUE(logcap::Has(logcap::Errors(),
                            "HostapdAgent::UpdateSingleStaHost: Parse DHCP data failed."));
}

// A complete ARP entry wins over the lease, an incomplete one is ignored; the interface whose
// neighbour cache is flushed is learned from an entry that changes a station's IP.
TEST_F(StationDetails, ArpGivesTheIpOfCompleteEntriesAndTheInterfaceToFlush) {
    Add("aa:bb:cc:dd:ee:02", "192.0.2.21");
    Add("00:00:00:00:00:00");
    Neighbour("192.0.2.20 lladdr aa:bb:cc:dd:ee:01 nud permanent");
    Neighbour("192.0.2.21 lladdr aa:bb:cc:dd:ee:02 nud permanent");
    Neighbour("192.0.2.30 nud incomplete");
    ASSERT_NE(sandbox::ReadFile("/proc/net/arp").find("0x0"), std::string::npos);
    InstallRecorder("ip");
    agent_->GetAllStaIP();  // an unchanged IP teaches nothing
    agent_->DropArpCache();
    Add("AA:BB:CC:DD:EE:01");
    sandbox::WriteFile(kLeases, "1 aa:bb:cc:dd:ee:01 192.0.2.10 laptop id\n");
    agent_->CompleteAllStaInfo();
    EXPECT_EQ(Of("aa:bb:cc:dd:ee:01"), "laptop 192.0.2.20");
    EXPECT_EQ(Of("00:00:00:00:00:00"), " ");
    agent_->DropArpCache();
    EXPECT_EQ(RecordedCalls("ip"), "route flush cache\nroute flush cache\nneigh flush dev br0\n");

    sandbox::WriteFile("/tmp/ip.status", "1");
    agent_->DropArpCache();
    EXPECT_TRUE(logcap::Has(
        logcap::Errors(), "Drop arp cache failed with ret[256]. cmd line: ip route flush cache\n"));
}

TEST_F(StationDetails, OnlineTimeCountsFromTheConnectedTime) {
    Add("aa:bb:cc:dd:ee:01");
    StaList* list = agent_->GetStaList();
    list->_Lock();
    list->_GetFirst()->SetConnectedTime(
        std::to_string(agent_test::MonotonicSeconds() - 3661).c_str());
    list->_Unlock();
    agent_->UpdateAllStaOnlineTime();
    std::string online = agent_test::FindStation(*agent_, "aa:bb:cc:dd:ee:01")->GetOnlineTime();
    EXPECT_TRUE(online == "01:01:01" || online == "01:01:02") << online;
}

TEST(SecToStandardTime, HoursMinutesSecondsCappedAndCutToTheBuffer) {
    // A hundred hours or more read as the largest time.
    const std::tuple<long, int, const char*> cases[] = {
        {3661, 9, "01:01:01"},     {359999, 9, "99:59:59"},   {360000, 9, "99:59:59"},
        {-5, 9, "00:00:00"},       {3661, 6, "01:01"},        {1, 1, ""},
        {LONG_MAX, 9, "99:59:59"}, {LONG_MIN, 9, "00:00:00"},  // 32 or 64 bits, as the CPU has
    };
    for (const auto& [seconds, size, expected] : cases) {
        char buf[16];
        memset(buf, 'x', sizeof(buf));
        EXPECT_EQ(secToStandardTime(seconds, buf, size), buf);
        EXPECT_STREQ(buf, expected) << seconds << " in " << size;
        EXPECT_EQ(buf[size], 'x') << seconds << " in " << size;
    }
}

// The radio start chooses the list command while the spy thread lists the stations: a command
// read with the other command's keyword length would parse shifted MAC addresses.
TEST(SpyLineMac, CommandAndKeywordLengthAreReadAsOnePair) {
    const std::pair<const char*, int32_t> kinds[] = {{"wlarm autho_sta_list", 14},
                                                     {"wlarm assoclist", 9}};
    publish_spy_command(kinds[0].first, kinds[0].second);
    std::atomic<bool> done{false};
    std::thread radio_start([&] {
        for (unsigned i = 1; !done; ++i)
            publish_spy_command(kinds[i % 2].first, kinds[i % 2].second);
    });
    int shifted = 0;
    for (int poll = 0; poll < 100000; ++poll) {
        SpyCommand spy = spy_command_snapshot();
        std::string line = std::string(spy.spy_cmd + strlen("wlarm ")) + " 11:22:33:44:55:66";
        char mac[18];
        spy_line_mac(spy.spy_mac_offset, line.c_str(), mac, sizeof(mac));
        if (strcmp(mac, "11:22:33:44:55:66") != 0) ++shifted;
    }
    done = true;
    radio_start.join();
    EXPECT_EQ(shifted, 0);
}

// A long client id is cut; a blank line is malformed, a long IP unusable.
TEST(LeaseLine, OverlongFieldsAreCutOrRefused) {
    LeaseEntry lease;
    std::string duid = "1 aa:bb:cc:dd:ee:01 192.0.2.10 laptop ff:" + std::string(60, '1');
    ASSERT_EQ(parse_lease_line(duid.c_str(), &lease), SourceLine::kEntry);
    EXPECT_EQ(strlen(lease.client_id), 31u);
    EXPECT_EQ(parse_lease_line(" \t ", &lease), SourceLine::kMalformed);
    EXPECT_EQ(parse_lease_line("1 aa:bb:cc:dd:ee:01 192.168.100.1000 h id", &lease),
              SourceLine::kUnusable);
}

TEST(ArpLine, KernelLineWithHexadecimalNumbersAndAUsableDeviceName) {
    ArpEntry arp;
    ASSERT_EQ(parse_arp_line("192.0.2.20  0x1  0x6  aa:bb:cc:dd:ee:01  *  br0", &arp),
              SourceLine::kEntry);
    EXPECT_EQ(std::string(arp.ip) + " " + arp.hw_address + " " + arp.device,
              "192.0.2.20 aa:bb:cc:dd:ee:01 br0");
    EXPECT_TRUE(arp.device_usable);
    for (const char* malformed :
         {"192.0.2.20 0x1 0x6 aa:bb:cc:dd:ee:01 *", "192.0.2.20 0x1 zz aa:bb:cc:dd:ee:01 * br0"})
        EXPECT_EQ(parse_arp_line(malformed, &arp), SourceLine::kMalformed) << malformed;
    // A device that is no interface name is not used in a command.
    for (const std::string& device : {std::string("br0;reboot"), std::string(40, 'e')}) {
        std::string line = "192.0.2.20 0x1 0x2 aa:bb:cc:dd:ee:01 * " + device;
        ASSERT_EQ(parse_arp_line(line.c_str(), &arp), SourceLine::kEntry);
        EXPECT_FALSE(arp.device_usable) << device;
        EXPECT_LT(strlen(arp.device), sizeof(arp.device));
    }
}
