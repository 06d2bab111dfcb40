// Station profiles: wlan_set_sta_config called as the web interface calls it, the profile file as
// devices in the field wrote it, and every supplicant file read back by the real wpa_supplicant.
#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"

namespace {

struct Profile {
    std::string ssid;
    int sec = 0, eap = 0;
    std::string key = {};
    int keyid = 1, auth = 0;
    std::string ip = {};
};

constexpr const char* kProfileFile = "/etc/config/wisp_profile";
constexpr const char* kStart = "-B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n";

// How the real supplicant shows a network of the profile: ssid|key_mgmt|priority|key|.
std::string Shown(const Profile& p, bool connect) {
    std::string hex;
    bool plain = true;
    for (unsigned char c : p.ssid) {
        hex += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
        plain = plain && c >= 0x20 && c < 0x7f;
    }
    const char* mgmt = p.sec >= 2 && p.sec <= 6   ? "WPA-PSK"
                       : p.sec != 7               ? "NONE"
                       : p.eap == 4 || p.eap == 5 ? "WPA-EAP"
                                                  : "WPA-PSK WPA-EAP";
    // The key as the supplicant saves what it parsed: a passphrase or ASCII WEP key quoted.
    const bool wpa = p.sec >= 2 && p.sec <= 6, ascii_wep = p.key.size() == 5 || p.key.size() == 13;
    const std::string key = wpa && p.key.size() != 64 ? "\"" + p.key + "\""
                            : wpa                     ? p.key
                            : p.sec != 1              ? ""
                            : ascii_wep               ? "\"" + p.key + "\""
                                                      : p.key;
    return (plain ? "\"" + p.ssid + "\"" : hex) + "|" + mgmt + "|" + (connect ? "1|" : "0|") + key +
           "|";
}

std::string Block(const std::string& ssid, int sec = 0, const std::string& key = "") {
    return ssid + "\n6\n" + std::to_string(sec) + "\n0\n" + key + "\n1\n0\n\n";
}

// The simulator's supplicant in place.
class StaProfiles : public BusMethodTest {
protected:
    void Prepare() override {
        BusMethodTest::Prepare();
        ASSERT_EQ(sandbox::Run("cp /usr/bin/wpa_supplicant-sim /usr/bin/wpa_supplicant"), 0);
        StartAp();
    }
    void TearDown() override {
        sandbox::Run("for p in $(pidof wpa_supplicant); do kill -9 $p; done");
        BusMethodTest::TearDown();
    }
    // Calls wlan_set_sta_config with the profile's fields (the SSID taken whole, NUL included),
    // less the one named drop.
    int Call(const Profile& p, const std::string& drop = "") {
        using std::to_string;
        // clang-format off
        const std::pair<std::string, std::string> fields[] = {
            {"channel", "6"}, {"sec_type", to_string(p.sec)}, {"ieee8021x_type", to_string(p.eap)},
            {"wpa_key", e2e::JsonQuoted(p.key)}, {"keyid", to_string(p.keyid)},
            {"authtype", to_string(p.auth)}, {"ip", e2e::JsonQuoted(p.ip)},
            {"submask", R"("255.255.255.0")"}, {"gateway", R"("")"}, {"dns1", R"("")"},
            {"dns2", R"("")"}};
        // clang-format on
        std::string json;
        for (const auto& [name, value] : fields)
            if (name != drop) json += (json.empty() ? "{\"" : ",\"") + name + "\":" + value;
        ui_.AddRawField("ssid", p.ssid);
        return ui_.Call("wlan_set_sta_config", json + "}");
    }
    static std::string Out(const std::string& command) { return sandbox::Output(command); }
};

}  // namespace

// Each security type, odd SSIDs and keys, and a known SSID again: every network reads back from
// the real supplicant, the chosen one with priority 1, and one supplicant runs, started anew.
TEST_F(StaProfiles, EveryProfileReadsBackFromTheRealSupplicant) {
    const std::string hex64(64, 'a');
    // clang-format off
    const Profile rows[] = {
        {"Cafe"}, {"a\"b\\c #d \xc3\xa9", 2, 0, "pa\"ss wo\"#rd\""}, {"q\"#", 5, 0, "x#y\"z\"123"},
        {std::string(30, 'x') + "\xc3\xa9", 3, 0, hex64}, {" wep\\", 1, 0, "ab#c\"", 1, 2},
        {"wep-hex", 1, 0, "0123456789abcdef0123456789", 4}, {"odd", 9}, {"sim", 7, 4},
        {"aka", 7, 5}, {"eap?", 7, 1}, {"Cafe", 2, 0, "12345678"}};
    // clang-format on
    std::vector<Profile> list;
    std::string calls;
    for (const Profile& p : rows) {
        size_t slot = list.size();
        for (size_t i = 0; i < list.size(); ++i) slot = list[i].ssid == p.ssid ? i : slot;
        if (slot == list.size()) list.push_back(p);
        list[slot] = p;
        ASSERT_EQ(Call(p), 0) << p.ssid;
        std::string shown;
        for (size_t i = 0; i < list.size(); ++i) shown += Shown(list[i], i == slot) + "\n";
        EXPECT_EQ(Out("wpa-judge /etc/config/wpa_supplicant.conf"), shown) << p.ssid;
        EXPECT_EQ(Out("cat /tmp/wpa_supplicant.calls"), calls += kStart) << p.ssid;
        EXPECT_EQ(Out("pidof wpa_supplicant | wc -w"), "1\n");
    }
    EXPECT_EQ(Out("grep -c '^.psk=" + hex64 + "$' /etc/config/wpa_supplicant.conf"), "1\n");
}

// What the supplicant could not read, texts with line breaks or over their field, and bad
// addresses are refused before anything changes; a missing attribute fails with its index.
TEST_F(StaProfiles, BadRequestsChangeNothing) {
    ASSERT_EQ(Call({"Home", 2, 0, "12345678"}), 0);
    const std::string files =
        "cat /etc/config/wisp_profile /etc/config/wpa_supplicant.conf "
        "/tmp/wpa_supplicant.calls";
    const std::string before = Out(files);
    // clang-format off
    const Profile refused[] = {
        {"a\nb"}, {std::string("a\0b", 3)}, {"x", 2, 0, "12345678\r"}, {std::string(33, 's')},
        {"x", 2, 0, std::string(65, '1')}, {"x", 2, 0, "1234567"}, {"x", 3, 0, std::string(64, 'g')},
        {"x", 2, 0, "a\"b#cdefgh"}, {"x", 1, 0, "abcdef"}, {"x", 1, 0, "0123456789abcdef012345678g"},
        {"x", 1, 0, "abcde", 5}, {"x", 1, 0, "a\"#cd"}, {"x", 0, 0, "", 1, 0, "1.2.3"},
        {"x", 0, 0, "", 1, 0, "1.2.3.4;reboot"}};
    // clang-format on
    for (const Profile& p : refused) EXPECT_EQ(Call(p), UBUS_STATUS_INVALID_ARGUMENT) << p.ssid;
    logcap::Clear();
    EXPECT_EQ(Call({"x"}, "wpa_key"), -1);
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "Set Sta Config index:4 failed!\n"));
    EXPECT_EQ(Out(files), before);
}

// Files from the field: the 33rd SSID overwrites slot last_record_profile_num, which advances;
// a known SSID keeps its slot; over-long lines, garbage numbers and a cut block load safely.
TEST_F(StaProfiles, ProfileFileFromTheFieldLoadsAndWrapsAround) {
    std::vector<std::string> blocks;
    for (int i = 0; i < 32; ++i) blocks.push_back(Block("P" + std::to_string(i)));
    const auto file = [&](std::string text) {
        for (const std::string& block : blocks) text += block;
        return text;
    };
    // Last record, request, the slot it takes, the file's first line afterwards.
    const std::tuple<const char*, Profile, int, const char*> rows[] = {
        {"0\n", {"New", 2, 0, "12345678"}, 0, "1\n"},
        {"1\n", {"P5"}, 5, "1\n"},
        {"31\n", {"Newer"}, 31, "0\n"},
    };
    for (const auto& [last, request, slot, next] : rows) {
        sandbox::WriteFile(kProfileFile, file(last));
        ASSERT_EQ(Call(request), 0) << request.ssid;
        blocks[slot] = Block(request.ssid, request.sec, request.key);
        EXPECT_EQ(sandbox::ReadFile(kProfileFile), file(next)) << request.ssid;
    }
    sandbox::WriteFile(kProfileFile, "99999999999\n" + std::string(300, 'L') +
                                         "\n12x\n-99999999999\n\n" + std::string(200, 'k') +
                                         "\n\n\n\nCut\n6\n");
    ASSERT_EQ(Call({"Cafe"}), 0);
    EXPECT_EQ(sandbox::ReadFile(kProfileFile), "0\n" + std::string(32, 'L') + "\n12\n0\n0\n" +
                                                   std::string(64, 'k') + "\n0\n0\n\n" +
                                                   Block("Cafe"));
    sandbox::Run(std::string("rm ") + kProfileFile);
    logcap::Clear();
    ASSERT_EQ(Call({"Solo"}), 0);
    EXPECT_EQ(sandbox::ReadFile(kProfileFile), "0\n" + Block("Solo"));
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "read wisp 2.4G profile error"));
}

// A supplicant that ignores SIGTERM is waited for 4 s, then the new one starts all the same; a
// supplicant file that cannot be replaced fails the call and keeps the old files and supplicant.
TEST_F(StaProfiles, SlowStopsAndFailedWrites) {
    sandbox::Run("touch /tmp/ignore_term");
    ASSERT_EQ(Call({"Home"}), 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Call({"Work"}), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3900));
    EXPECT_EQ(Out("pidof wpa_supplicant | wc -w; cat /tmp/wpa_supplicant.calls"),
              "2\n" + std::string(kStart) + kStart);

    sandbox::Run("for p in $(pidof wpa_supplicant); do kill -9 $p; done; rm /tmp/ignore_term");
    ASSERT_EQ(Call({"Home"}), 0);
    sandbox::Run("cd /etc/config && mv wpa_supplicant.conf /tmp && mkdir wpa_supplicant.conf");
    const std::string state = "cat /etc/config/wisp_profile; ls /etc/config; pidof wpa_supplicant";
    const std::string before = Out(state);
    logcap::Clear();
    EXPECT_EQ(Call({"Shop"}), -1);
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "write wpa_supplicant config file fail"));
    EXPECT_EQ(Out(state), before);
}
