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
    Profile(std::string s, int sec_type = 0, int eap_type = 0, std::string k = "", int id = 1,
            int auth_type = 0, std::string address = "")
        : ssid(s), sec(sec_type), eap(eap_type), key(k), keyid(id), auth(auth_type), ip(address) {}
    std::string ssid;
    int sec, eap;
    std::string key;
    int keyid, auth;
    std::string ip;
};

constexpr const char* kProfileFile = "/etc/config/wisp_profile";
constexpr const char* kStart = "-B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n";

// The supplicant the library starts checks its file with the real one, records its command line
// and runs on as a background process named wpa_supplicant (ignoring SIGTERM while
// /tmp/ignore_term exists). pidof and killall see only this sandbox's processes.
const char* kStandIns = R"SH(set -e; mkdir -p /run/sim; cp /usr/bin/pidof /run/sim/pidof
cp /bin/sleep /run/sim/wpa_supplicant; rm -f /usr/bin/pidof /usr/bin/killall
cat >/usr/bin/pidof <<'E'
#!/bin/sh
m=$(readlink /proc/self/ns/mnt); o=
for p in $(/run/sim/pidof "$@"); do [ "$(readlink /proc/$p/ns/mnt)" = "$m" ] && o="$o $p"; done
[ -n "$o" ] && echo $o
E
cat >/usr/bin/killall <<'E'
#!/bin/sh
for p in $(pidof "$1"); do kill $p; done
E
cat >/usr/bin/judge <<'E'
#!/bin/sh
# judge FILE [DIR]: starts the real supplicant on FILE with its socket in DIR; prints every
# network as ssid|key_mgmt|priority, then stops it. Fails when the supplicant refuses the file.
d=${2:-/tmp/judge}; sed "s#^ctrl_interface=.*#ctrl_interface=$d#" "$1" >$d.conf
/usr/sbin/wpa_supplicant -Dnone -ilo -c$d.conf -B -P$d.pid >/dev/null 2>&1 || exit 1
i=0; while [ ! -s $d.pid ] || [ ! -e $d/lo ]; do i=$((i+1)); [ $i -lt 100 ] || exit 1; sleep 0.1; done
for n in $(wpa_cli -p $d -i lo list_networks | awk 'NR>1 {print $1}'); do
  for f in ssid key_mgmt priority; do printf '%s|' "$(wpa_cli -p $d -i lo get_network $n $f)"; done; echo
done
p=$(cat $d.pid); kill $p; rm -f $d.pid
while [ -e /proc/$p ] && [ "$(cut -d' ' -f3 /proc/$p/stat)" != Z ]; do sleep 0.05; done
E
cat >/usr/bin/wpa_supplicant <<'E'
#!/bin/sh
for a; do case $a in -c*) c=${a#-c};; esac; done
judge "$c" /tmp/check >/dev/null || { echo "refused $*" >>/tmp/wpa_supplicant.calls; exit 1; }
echo "$*" >>/tmp/wpa_supplicant.calls
[ -e /tmp/ignore_term ] && trap '' TERM
/run/sim/wpa_supplicant infinity </dev/null >/dev/null 2>&1 &
E
chmod 755 /usr/bin/pidof /usr/bin/killall /usr/bin/judge /usr/bin/wpa_supplicant)SH";

// How the supplicant shows a network of the profile: ssid|key_mgmt|priority.
std::string Shown(const Profile& p, bool connect) {
    std::string hex;
    for (unsigned char c : p.ssid)
        hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    bool plain = true;
    for (unsigned char c : p.ssid) plain = plain && c >= 0x20 && c < 0x7f;
    const char* mgmt = p.sec == 1 || p.sec < 0 || p.sec > 7 || p.sec == 0 ? "NONE"
                       : p.sec < 7                                        ? "WPA-PSK"
                       : p.eap == 4 || p.eap == 5                         ? "WPA-EAP"
                                                                          : "WPA-PSK WPA-EAP";
    return (plain ? "\"" + p.ssid + "\"" : hex) + "|" + mgmt + "|" + (connect ? "1" : "0") + "|";
}  // namespace

class StaProfiles : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(sandbox::Run(kStandIns), 0);
        StartAp();
        ctx_ = test_bus::Connect();
    }
    void TearDown() override {
        sandbox::Run("for p in $(pidof wpa_supplicant); do kill -9 $p; done");
        if (ctx_ != nullptr) ubus_free(ctx_);
        blob_buf_free(&buf_);
        E2eTest::TearDown();
    }
    // Calls wlan_set_sta_config with the profile's fields, less the one at index drop.
    int Call(const Profile& p, int drop = -1) {
        blob_buf_init(&buf_, 0);
        const char* names[] = {"ssid",    "channel", "sec_type", "ieee8021x_type",
                               "wpa_key", "keyid",   "authtype", "ip",
                               "submask", "gateway", "dns1",     "dns2"};
        const std::string texts[12] = {p.ssid, "", "", "", p.key, "", "", p.ip, "255.255.255.0"};
        const int numbers[] = {0, 6, p.sec, p.eap, 0, p.keyid, p.auth};
        for (int i = 0; i < 12; ++i) {
            if (i == drop) continue;
            if (i == 0 || i == 4 || i >= 7)
                blobmsg_add_field(&buf_, BLOBMSG_TYPE_STRING, names[i], texts[i].c_str(),
                                  static_cast<unsigned>(texts[i].size() + 1));
            else
                blobmsg_add_u32(&buf_, names[i], static_cast<uint32_t>(numbers[i]));
        }
        uint32_t id = 0;
        EXPECT_EQ(ubus_lookup_id(ctx_, "wlan_object_test", &id), 0);
        return ubus_invoke(ctx_, id, "wlan_set_sta_config", buf_.head, nullptr, nullptr, 20000);
    }
    static std::string Calls() { return sandbox::Output("cat /tmp/wpa_supplicant.calls"); }

    ubus_context* ctx_ = nullptr;
    blob_buf buf_ = {};
};

std::string Block(const std::string& ssid, int sec = 0, const std::string& key = "") {
    return ssid + "\n6\n" + std::to_string(sec) + "\n0\n" + key + "\n1\n0\n\n";
}

}  // namespace

// Each security type, odd SSIDs and keys, and a known SSID again: every network reads back from
// the real supplicant, the chosen one with priority 1, and one supplicant runs, started anew.
TEST_F(StaProfiles, EveryProfileReadsBackFromTheRealSupplicant) {
    const std::string hex64(64, 'a'), ssid32 = std::string(30, 'x') + "\xc3\xa9";
    const Profile rows[] = {
        {"Cafe"},
        {"a\"b\\c #d \xc3\xa9", 2, 0, "pa\"ss wo\"#rd\""},
        {"q\"#", 5, 0, "x#y\"z\"123"},
        {ssid32, 3, 0, hex64},
        {" wep\\", 1, 0, "ab#c\"", 1, 2},
        {"wep-hex", 1, 0, "0123456789abcdef0123456789", 4},
        {"odd", 9},
        {"sim", 7, 4},
        {"aka", 7, 5},
        {"eap?", 7, 1},
        {"Cafe", 2, 0, "12345678"},
    };
    std::vector<Profile> list;
    std::string calls;
    for (const Profile& p : rows) {
        size_t slot = list.size();
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].ssid == p.ssid) slot = i;
        if (slot == list.size()) list.push_back(p);
        list[slot] = p;
        ASSERT_EQ(Call(p), 0) << p.ssid;
        std::string shown;
        for (size_t i = 0; i < list.size(); ++i) shown += Shown(list[i], i == slot) + "\n";
        EXPECT_EQ(sandbox::Output("judge /etc/config/wpa_supplicant.conf"), shown) << p.ssid;
        EXPECT_EQ(Calls(), calls += kStart) << p.ssid;
        EXPECT_EQ(sandbox::Output("pidof wpa_supplicant | wc -w"), "1\n");
    }
    EXPECT_NE(sandbox::ReadFile("/etc/config/wpa_supplicant.conf").find("\tpsk=" + hex64 + "\n"),
              std::string::npos);
}

// What the supplicant could not read, texts with line breaks or over their field, and bad
// addresses are refused before anything changes; a missing attribute fails with its index.
TEST_F(StaProfiles, BadRequestsChangeNothing) {
    ASSERT_EQ(Call({"Home", 2, 0, "12345678"}), 0);
    const std::string files = "cat /etc/config/wisp_profile /etc/config/wpa_supplicant.conf";
    const std::string before = sandbox::Output(files), calls = Calls();
    const Profile refused[] = {
        {"a\nb"},
        {std::string("a\0b", 3)},
        {"x", 2, 0, "12345678\r"},
        {std::string(33, 's')},
        {"x", 2, 0, std::string(65, '1')},
        {"x", 2, 0, "1234567"},
        {"x", 3, 0, std::string(64, 'g')},
        {"x", 2, 0, "a\"b#cdefgh"},
        {"x", 1, 0, "abcdef"},
        {"x", 1, 0, "0123456789abcdef012345678g"},
        {"x", 1, 0, "abcde", 5},
        {"x", 1, 0, "a\"#cd"},
        {"x", 0, 0, "", 1, 0, "1.2.3"},
        {"x", 0, 0, "", 1, 0, "1.2.3.4;reboot"},
    };
    for (const Profile& p : refused) EXPECT_EQ(Call(p), UBUS_STATUS_INVALID_ARGUMENT) << p.ssid;
    logcap::Clear();
    EXPECT_EQ(Call({"x"}, 4), -1);
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "Set Sta Config index:4 failed!\n"));
    EXPECT_EQ(sandbox::Output(files), before);
    EXPECT_EQ(Calls(), calls);
}

// Files from the field: the 33rd SSID overwrites slot last_record_profile_num, which advances;
// a known SSID keeps its slot; over-long lines, garbage numbers and a cut block load safely.
TEST_F(StaProfiles, ProfileFileFromTheFieldLoadsAndWrapsAround) {
    std::vector<std::string> blocks;
    for (int i = 0; i < 32; ++i) blocks.push_back(Block("P" + std::to_string(i)));
    const auto file = [&](const char* first) {
        std::string text = first;
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

// A supplicant file that cannot be replaced fails the call and keeps the old files and the old
// supplicant; one that ignores SIGTERM is waited for 4 s, then the new one starts all the same.
TEST_F(StaProfiles, FailedWritesAndSlowStopsKeepOrRestartTheSupplicant) {
    sandbox::Run("touch /tmp/ignore_term");
    ASSERT_EQ(Call({"Home"}), 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Call({"Work"}), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3900));
    EXPECT_EQ(sandbox::Output("pidof wpa_supplicant | wc -w"), "2\n");
    EXPECT_EQ(Calls(), std::string(kStart) + kStart);

    sandbox::Run("for p in $(pidof wpa_supplicant); do kill -9 $p; done; rm /tmp/ignore_term");
    ASSERT_EQ(Call({"Home"}), 0);
    const std::string files = "cat /etc/config/wisp_profile; ls /etc/config";
    sandbox::Run(
        "mv /etc/config/wpa_supplicant.conf /tmp/c && mkdir /etc/config/wpa_supplicant.conf");
    const std::string before = sandbox::Output(files),
                      running = sandbox::Output("pidof wpa_supplicant");
    logcap::Clear();
    EXPECT_EQ(Call({"Shop"}), -1);
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "write wpa_supplicant config file fail"));
    EXPECT_EQ(sandbox::Output(files), before);
    EXPECT_EQ(sandbox::Output("pidof wpa_supplicant"), running);
}
