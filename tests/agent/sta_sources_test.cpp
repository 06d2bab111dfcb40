#include "agent/sta_sources.h"

#include <gtest/gtest.h>
#include <string.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>

#include "agent/spy_state.h"
#include "wlan_time.h"

TEST(SecToStandardTime, HoursMinutesSecondsCappedAndCutToTheBuffer) {
    const std::tuple<long, int, const char*> cases[] = {
        {0, 9, "00:00:00"},           {59, 9, "00:00:59"},
        {3661, 9, "01:01:01"},        {99 * 3600 + 59 * 60 + 59, 9, "99:59:59"},
        {100 * 3600, 9, "99:59:59"},  // a hundred hours or more read as the largest time
        {2147483647L, 9, "99:59:59"}, {-5, 9, "00:00:00"},
        {3661, 6, "01:01"},           {1, 1, ""},
    };
    for (const auto& [seconds, size, expected] : cases) {
        char buf[16];
        memset(buf, 'x', sizeof(buf));
        EXPECT_EQ(secToStandardTime(seconds, buf, size), buf);
        EXPECT_STREQ(buf, expected) << seconds << " in " << size;
        EXPECT_EQ(buf[size], 'x') << seconds << " in " << size;
    }
}

TEST(SpyLineMac, MacStartsAfterTheKeywordAndABlank) {
    const std::tuple<int32_t, const char*, const char*> cases[] = {
        {14, "autho_sta_list 11:22:33:44:55:66", "11:22:33:44:55:66"},
        {9, "assoclist AA:BB:CC:DD:EE:FF trailing words", "AA:BB:CC:DD:EE:FF"},
        {9, "assoclist 11:22\n", "11:22"},
        {9, "short", ""},
    };
    for (const auto& [offset, line, mac_text] : cases) {
        char mac[18];
        spy_line_mac(offset, line, mac, sizeof(mac));
        EXPECT_STREQ(mac, mac_text) << line;
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

TEST(LeaseLine, FiveTokensMakeALeaseAndOverlongFieldsAreCutOrRefused) {
    LeaseEntry lease;
    ASSERT_EQ(parse_lease_line("1700000000 aa:bb:cc:dd:ee:01 192.0.2.10 laptop 01:aa:bb\t", &lease),
              SourceLine::kEntry);
    EXPECT_STREQ(lease.mac, "aa:bb:cc:dd:ee:01");
    EXPECT_STREQ(lease.ip, "192.0.2.10");
    EXPECT_STREQ(lease.host_name, "laptop");
    // A long client id is cut; a long MAC or IP makes the line unusable.
    std::string duid = "1 aa:bb:cc:dd:ee:01 192.0.2.10 laptop ff:" + std::string(60, '1');
    ASSERT_EQ(parse_lease_line(duid.c_str(), &lease), SourceLine::kEntry);
    EXPECT_EQ(strlen(lease.client_id), 31u);
    const std::pair<const char*, SourceLine> cases[] = {
        {"1700000000 aa:bb:cc:dd:ee:01 192.0.2.10 laptop", SourceLine::kMalformed},
        {"", SourceLine::kMalformed},
        {" \t ", SourceLine::kMalformed},
        {"1 aa:bb:cc:dd:ee:01:02:03 192.0.2.10 h id", SourceLine::kUnusable},
        {"1 aa:bb:cc:dd:ee:01 192.168.100.1000 h id", SourceLine::kUnusable},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_lease_line(c.first, &lease), c.second) << c.first;
}

TEST(ArpLine, KernelLineWithHexadecimalNumbersAndAUsableDeviceName) {
    ArpEntry arp;
    ASSERT_EQ(parse_arp_line("192.0.2.20       0x1         0x6         aa:bb:cc:dd:ee:01     *"
                             "        br0",
                             &arp),
              SourceLine::kEntry);
    EXPECT_STREQ(arp.ip, "192.0.2.20");
    EXPECT_EQ(arp.hw_type, 1);
    EXPECT_EQ(arp.flags, 6);
    EXPECT_STREQ(arp.hw_address, "aa:bb:cc:dd:ee:01");
    EXPECT_STREQ(arp.device, "br0");
    EXPECT_TRUE(arp.device_usable);
    for (const char* malformed :
         {"192.0.2.20 0x1 0x6 aa:bb:cc:dd:ee:01 *", "192.0.2.20 0x1 zz aa:bb:cc:dd:ee:01 * br0",
          "192.0.2.20 0x 0x2 aa:bb:cc:dd:ee:01 * br0"})
        EXPECT_EQ(parse_arp_line(malformed, &arp), SourceLine::kMalformed) << malformed;
    // A device that is no interface name is not used in a command.
    for (const std::string& device : {std::string("br0;reboot"), std::string(40, 'e')}) {
        std::string line = "192.0.2.20 0x1 0x2 aa:bb:cc:dd:ee:01 * " + device;
        ASSERT_EQ(parse_arp_line(line.c_str(), &arp), SourceLine::kEntry);
        EXPECT_FALSE(arp.device_usable) << device;
    }
    EXPECT_TRUE(is_ifname_text("wlan0.1"));
    for (const char* bad : {"br0 x", "$(id)", ""}) EXPECT_FALSE(is_ifname_text(bad)) << bad;
}

TEST(SourceLines, RandomBytesNeverOverrunTheBuffers) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        size_t length = random() % 600;
        for (size_t i = 0; i < length; ++i)
            line += random() % 4 == 0 ? ' ' : static_cast<char>(1 + random() % 255);
        LeaseEntry lease;
        ArpEntry arp;
        if (parse_lease_line(line.c_str(), &lease) != SourceLine::kMalformed) {
            EXPECT_LT(strlen(lease.mac), sizeof(lease.mac));
            EXPECT_LT(strlen(lease.host_name), sizeof(lease.host_name));
        }
        if (parse_arp_line(line.c_str(), &arp) != SourceLine::kMalformed) {
            EXPECT_LT(strlen(arp.device), sizeof(arp.device));
        }
    }
}
