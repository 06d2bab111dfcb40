#include "agent/sta_sources.h"

#include <gtest/gtest.h>
#include <string.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>

#include "agent/spy_state.h"
#include "wlan_time.h"

namespace {

std::string Time(long seconds, int size = 9) {
    char buf[16];
    memset(buf, 'x', sizeof(buf));
    secToStandardTime(seconds, buf, size);
    return buf;
}

}  // namespace

TEST(SecToStandardTime, HoursMinutesSecondsBetweenZeroAndTheLargestTime) {
    const std::pair<long, const char*> cases[] = {
        {0, "00:00:00"},
        {59, "00:00:59"},
        {3661, "01:01:01"},
        {36000, "10:00:00"},
        {99 * 3600 + 59 * 60 + 59, "99:59:59"},
        {100 * 3600, "99:59:59"},  // a hundred hours or more read as the largest time
        {100 * 3600 + 61, "99:59:59"},
        {2147483647L, "99:59:59"},
        {-5, "00:00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(Time(c.first), c.second) << c.first;
}

TEST(SecToStandardTime, SmallBufferKeepsSizeMinusOneCharacters) {
    EXPECT_EQ(Time(3661, 6), "01:01");
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(secToStandardTime(1, buf, 1), buf);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], 'x');
}

TEST(SpyLineMac, MacStartsAfterTheKeywordAndABlank) {
    char mac[18];
    spy_line_mac(14, "autho_sta_list 11:22:33:44:55:66", mac, sizeof(mac));
    EXPECT_STREQ(mac, "11:22:33:44:55:66");
    spy_line_mac(9, "assoclist AA:BB:CC:DD:EE:FF trailing words", mac, sizeof(mac));
    EXPECT_STREQ(mac, "AA:BB:CC:DD:EE:FF");
    spy_line_mac(9, "assoclist 11:22\n", mac, sizeof(mac));
    EXPECT_STREQ(mac, "11:22");
    spy_line_mac(9, "short", mac, sizeof(mac));
    EXPECT_STREQ(mac, "");
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
    for (const char* missing : {"1700000000 aa:bb:cc:dd:ee:01 192.0.2.10 laptop", "", " \t "})
        EXPECT_EQ(parse_lease_line(missing, &lease), SourceLine::kMalformed) << missing;

    // A long client id is cut; a long MAC or IP makes the line unusable.
    std::string duid = "ff:" + std::string(60, '1');
    EXPECT_EQ(parse_lease_line(("1 aa:bb:cc:dd:ee:01 192.0.2.10 laptop " + duid).c_str(), &lease),
              SourceLine::kEntry);
    EXPECT_EQ(strlen(lease.client_id), 31u);
    EXPECT_EQ(parse_lease_line("1 aa:bb:cc:dd:ee:01:02:03 192.0.2.10 h id", &lease),
              SourceLine::kUnusable);
    EXPECT_EQ(parse_lease_line("1 aa:bb:cc:dd:ee:01 192.168.100.1000 h id", &lease),
              SourceLine::kUnusable);
}

TEST(ArpLine, KernelLineIsParsedWithHexadecimalNumbers) {
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
}

TEST(ArpLine, DeviceThatIsNoInterfaceNameIsNotUsable) {
    ArpEntry arp;
    ASSERT_EQ(parse_arp_line("192.0.2.20 0x1 0x2 aa:bb:cc:dd:ee:01 * br0;reboot", &arp),
              SourceLine::kEntry);
    EXPECT_FALSE(arp.device_usable);
    std::string long_device = "192.0.2.20 0x1 0x2 aa:bb:cc:dd:ee:01 * " + std::string(40, 'e');
    ASSERT_EQ(parse_arp_line(long_device.c_str(), &arp), SourceLine::kEntry);
    EXPECT_FALSE(arp.device_usable);
    EXPECT_TRUE(is_ifname_text("wlan0.1"));
    EXPECT_FALSE(is_ifname_text("br0 x"));
    EXPECT_FALSE(is_ifname_text("$(id)"));
    EXPECT_FALSE(is_ifname_text(""));
}

TEST(SourceLines, RandomBytesNeverOverrunTheBuffers) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        size_t length = random() % 600;
        for (size_t i = 0; i < length; ++i) {
            int pick = random() % 4;
            line += pick == 0 ? ' ' : static_cast<char>(1 + random() % 255);
        }
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
