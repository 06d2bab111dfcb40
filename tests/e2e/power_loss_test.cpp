// Power loss while the device rewrites a file: a child process rewrites the file through the
// library's own writer, alternately with two contents, and is killed with SIGKILL at a random
// point. What is left on disk must be the old or the new content, whole, and read back through
// the library's reader.
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "config/config_writer.h"
#include "config/maclist.h"
#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "util/atomic_file.h"
#include "wisp/sta_profile.h"
#include "wisp/static_ip_config.h"
#include "wlanmgr.h"

namespace {

constexpr int kKills = 200;
constexpr unsigned kSeed = 20261207;
constexpr const char* kDenyList = "/etc/config/hostapd.deny";
constexpr const char* kUciPackage = "/etc/config/wlanwarn-storage";

// Version v (0 or 1) of an AP record: another SSID, key and MAC list.
struct ApRecord {
    wlan_mgr_mac_entry macs[3] = {
        {"02:00:00:00:00:01", "tv"}, {"02:00:00:00:00:02", ""}, {"02:00:00:00:00:03", "den"}};
    wlan_mgr_bss_config bss = {};
    explicit ApRecord(int v) {
        snprintf(bss.ssid, sizeof(bss.ssid), "%s", v == 0 ? "Cafe" : "Hotspot-Second");
        bss.wmode = WLAN_MGR_WMODE_11BGN;
        bss.channel = v == 0 ? 6 : 11;
        bss.macaddr_acl = 1;
        snprintf(bss.deny_mac_file, sizeof(bss.deny_mac_file), "%s", kDenyList);
        bss.accept_mac = macs;
        bss.num_accept_mac = v == 0 ? 1 : 3;
        bss.wpa = 2;
        snprintf(bss.wpa_pairwise, sizeof(bss.wpa_pairwise), "CCMP");
        snprintf(bss.wpa_passphrase, sizeof(bss.wpa_passphrase), "%s",
                 v == 0 ? "first key" : "a second, longer key");
    }
};

// Writes version v of the AP record with a writer of the record.
template <typename Writer>
bool WriteAp(int v, Writer writer, const char* path) {
    ApRecord record(v);
    return writer(&record.bss, path) == 0;
}

void SetProfile(int v) {
    sta_setting_t p = {};
    snprintf(p.ssid, sizeof(p.ssid), "%s", v == 0 ? "Home" : "Upstream-Office");
    p.sec_type = 2;
    snprintf(p.wpa_key, sizeof(p.wpa_key), "%s", v == 0 ? "12345678" : "another passphrase");
    sta_setting_list[0] = p;
    current_profile_num = 1;
    connect_profile_num = 0;
    last_record_profile_num = 0;
}

// The configuration's own values (the MAC list it names is a file of its own, replaced after it).
std::string ReadConfig(const char* path) {
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, path);
    std::string read = std::string(bss->ssid) + "/" + std::to_string(bss->channel);
    wlan_mgr_free_config(&bss);
    return read;
}

// One file the library rewrites whole: its writer (version 0 or 1; runs in the writing
// process) and its reader (what the library reads back; none where the library reads nothing).
struct Target {
    const char* path;
    std::function<bool(int)> write;
    std::function<std::string()> read;
};

// clang-format off
const Target kTargets[] = {
    {"/etc/hostapd.conf",
     [](int v) { return WriteAp(v, wlan_config_write, "/etc/hostapd.conf"); },
     [] { return ReadConfig("/etc/hostapd.conf"); }},
    {kDenyList,
     [](int v) { return WriteAp(v, wlan_config_write, "/etc/hostapd.conf"); },
     [] {
         wlan_mgr_mac_entry* list = nullptr;
         int32_t count = 0;
         wlan_mgr_config_read_maclist(kDenyList, &list, &count);
         free(list);
         return std::to_string(count);
     }},
    {"/usr/bin/bcmApSet.sh",
     [](int v) { return WriteAp(v, wlan_mgr_conf_to_wl_sh, "/usr/bin/bcmApSet.sh"); }, nullptr},
    {"/usr/bin/bcmApStaSet.sh",
     [](int v) { return WriteAp(v, wlan_mgr_apsta_conf_to_wl_sh, "/usr/bin/bcmApStaSet.sh"); },
     nullptr},
    {"/usr/bin/bcm_mac_filter.sh",
     [](int v) { return WriteAp(v, wlan_mgr_mac_fliter_to_wl_sh, "/usr/bin/bcm_mac_filter.sh"); },
     nullptr},
    {"/etc/config/wisp_profile",
     [](int v) { SetProfile(v); return sta_profiles_store(); },
     [] { sta_profiles_load(); return std::string(sta_setting_list[0].ssid); }},
    {"/etc/config/wpa_supplicant.conf",
     [](int v) { SetProfile(v); return sta_profiles_store(); }, nullptr},
    {"/etc/config/wisp_static_ip_conf",
     [](int v) {
         static_ip_config_load();
         return static_ip_config_save({"Home", v == 0 ? "10.0.0.2" : "192.168.100.200",
                                       "255.255.255.0", "", "", ""});
     },
     [] {
         static_ip_config_release();  // as after a restart
         static_ip_config_load();
         std::string ip;
         static_ip_config_with("Home", [](const StaticIpValues& values, bool, void* out) {
             *static_cast<std::string*>(out) = values.ip;
         }, &ip);
         return ip;
     }},
    {kUciPackage,
     [](int v) { return uci_set_wlan_sec_status(v) == 0; },
     [] {
         // A power loss empties /tmp and with it the changes saved but not committed.
         sandbox::Run("rm -f /tmp/.uci/wlanwarn-storage");
         return sandbox::Output("uci get wlanwarn-storage.wlanwarn.wlan_status");
     }},
};
// clang-format on

std::string Mode(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 ? std::to_string(st.st_mode & 07777) : "none";
}

// Leftovers of killed writes (temporary files beside the target) are removed and counted.
int RemoveLeftovers(const char* path) {
    const std::string file = resolve_link_target(path);
    const std::string dir = file.substr(0, file.rfind('/'));
    const std::string base = file.substr(file.rfind('/') + 1);
    return sandbox::Run("n=0; for f in " + dir + "/." + base + ".*; do [ -e \"$f\" ] && " +
                        "rm -f \"$f\" && n=$((n+1)); done; exit $n");
}

// Kills a process that rewrites the target in a loop kKills times, each after a random delay
// spread over two writes, and checks what is left after each kill.
void KillWhileWriting(const Target& target, std::mt19937& random) {
    std::string content[2], reads[2], mode[2];
    auto start = std::chrono::steady_clock::now();
    for (int v : {1, 0, 1, 0}) {
        ASSERT_TRUE(target.write(v)) << target.path;
        content[v] = sandbox::ReadFile(target.path);
        mode[v] = Mode(target.path);
        reads[v] = target.read ? target.read() : "";
    }
    const auto write_us = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count() /
                          4;
    ASSERT_NE(content[0], content[1]) << target.path;
    ASSERT_TRUE(!target.read || reads[0] != reads[1]) << target.path;
    std::uniform_int_distribution<long> delay(0, 2 * write_us + 1);
    int torn = 0;
    for (int kill_no = 0; kill_no < kKills; ++kill_no) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            for (int v = 1;; v ^= 1) {
                if (ready[1] >= 0 && write(ready[1], "r", 1) == 1) {
                    close(ready[1]);
                    ready[1] = -1;
                }
                target.write(v);
            }
        }
        close(ready[1]);
        char byte;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        torn += RemoveLeftovers(target.path) > 0 ? 1 : 0;
        const std::string now = sandbox::ReadFile(target.path);
        const int v = now == content[0] ? 0 : now == content[1] ? 1 : -1;
        ASSERT_NE(v, -1) << target.path << ", kill " << kill_no << ": a torn file:\n" << now;
        EXPECT_EQ(Mode(target.path), mode[v]) << target.path << ", kill " << kill_no;
        ASSERT_EQ(target.read ? target.read() : "", reads[v])
            << target.path << ", kill " << kill_no;
    }
    printf("%s: %d kills, %d in the middle of a write (write %ld us)\n", target.path, kKills, torn,
           static_cast<long>(write_us));
}

// The device's AP configuration is a link to the working copy; the link stays.
void LinkApConfig() {
    sandbox::Run(
        "mv /etc/hostapd.conf /etc/AR6004_hostapd.conf && "
        "ln -s AR6004_hostapd.conf /etc/hostapd.conf");
}

using PowerLoss = E2eTest;

}  // namespace

TEST_F(PowerLoss, EveryRewrittenFileIsOldOrNewAfterAKill) {
    printf("power loss seed %u\n", kSeed);
    std::mt19937 random(kSeed);
    LinkApConfig();
    sandbox::WriteFile(kUciPackage, "config wlanwarn 'wlanwarn'\n\toption wlan_status '0'\n");
    for (const Target& target : kTargets) {
        KillWhileWriting(target, random);
        if (HasFatalFailure()) break;
    }
    EXPECT_EQ(sandbox::Output("readlink /etc/hostapd.conf"), "AR6004_hostapd.conf\n");
    static_ip_config_release();
}

namespace {

// A bus method that writes files: its request before (a) and during (b) the fault, the status
// it answers during the fault, the files it must leave as they were, and what shows afterwards
// whether the refused request took effect anyway.
struct Writing {
    const char* method;
    std::string a, b;
    int status;
    std::vector<const char*> files;
    std::function<std::string(e2e::WebUi&)> effect;
};

std::string Reply(e2e::WebUi& ui, const char* method, const char* args = "{}") {
    std::string reply;
    return std::to_string(ui.Call(method, args, &reply)) + " " + reply;
}

std::string StaConfig(const char* ssid, const char* key, const char* ip) {
    return std::string("{\"ssid\":\"") + ssid +
           "\",\"channel\":6,\"sec_type\":2,\"ieee8021x_type\":0,\"wpa_key\":\"" + key +
           "\",\"keyid\":0,\"authtype\":0,\"ip\":\"" + ip +
           "\",\"submask\":\"255.255.255.0\",\"gateway\":\"\",\"dns1\":\"\",\"dns2\":\"\"}";
}

std::string ApConfig(const char* ssid, const char* macs) {
    return std::string("{\"ssid\":\"") + ssid +
           "\",\"ignore_broadcast_ssid\":0,\"region\":\"DE\",\"band_type\":0,\"chan\":6,"
           "\"wmode\":5,\"chan_width\":1,\"wpa\":3,\"wpa_encrypt\":0,\"wpa_key\":\"pass phrase\","
           "\"mac_filter\":1,\"mac_addrs\":\"" +
           macs + "\",\"wps\":0,\"ap_isolate\":0}";
}

// clang-format off
const Writing kWritings[] = {
    {"wlan_set_config", ApConfig("Cafe", "02:00:00:00:00:01#DES_LEN:2#tv#"),
     ApConfig("Office", "02:00:00:00:00:02#DES_LEN:0##02:00:00:00:00:03#DES_LEN:0##"),
     UBUS_STATUS_UNKNOWN_ERROR, {"/etc/AR6004_hostapd.conf", kDenyList},
     [](e2e::WebUi& ui) { return Reply(ui, "wlan_get_config"); }},
    {"wlan_set_sta_config", StaConfig("Home", "12345678", "10.0.0.2"),
     StaConfig("Home", "another key", "10.0.0.3"), -1,
     {"/etc/config/wisp_profile", "/etc/config/wpa_supplicant.conf",
      "/etc/config/wisp_static_ip_conf"},
     [](e2e::WebUi& ui) {
         // The settings the platform is given for the network come from the stored list.
         ui.Call("wlan_set_static_ip_config", R"({"ssid":"Home"})");
         return sandbox::Output("grep wisp_ap_static_ip /etc/config/wlan");
     }},
    {"wlan_set_ps_status", R"({"power_save_status":1,"power_level":1,"disable_time":300})",
     R"({"power_save_status":1,"power_level":2,"disable_time":900})", -1, {"/etc/config/wlan"},
     [](e2e::WebUi& ui) { return Reply(ui, "wlan_get_ps_status"); }},
    {"wlan_set_static_ip_config", R"({"ssid":"Home"})", R"({"ssid":"Unknown"})", -1,
     {"/etc/config/wlan"},
     [](e2e::WebUi&) { return sandbox::Output("uci show wlan"); }},
};
// clang-format on

// A fault of /etc and how it is undone.
struct Fault {
    const char* name;
    const char* make;
    const char* undo;
};
const Fault kFaults[] = {
    // A small tmpfs with a copy of /etc, filled up.
    {"full /etc",
     "cp -a /etc/. /run/etc && mount -t tmpfs -o size=16m tmpfs /etc && cp -a /run/etc/. /etc && "
     "rm -rf /run/etc && dd if=/dev/zero of=/etc/.fill bs=4k 2>/dev/null; df /etc | grep -q 100%",
     "umount /etc"},
    {"read-only /etc", "mount -o remount,bind,ro /etc", "mount -o remount,bind,rw /etc"},
};

class FullOrReadOnly : public E2eTest {
protected:
    void TearDown() override {
        E2eTest::TearDown();
        if (!undo_.empty()) sandbox::Run(undo_);
    }
    std::string undo_;  // the fault in place, undone after a failed test
};

}  // namespace

// Each write fails with a status and a log line, the old files stay whole and unchanged, and
// the refused change is not taken into use.
TEST_F(FullOrReadOnly, WritesFailClearlyAndKeepTheOldFiles) {
    LinkApConfig();
    StartAp();
    e2e::WebUi ui;
    for (const Fault& fault : kFaults) {
        for (const Writing& w : kWritings) {
            const std::string what = std::string(w.method) + ", " + fault.name;
            ASSERT_EQ(ui.Call(w.method, w.a), 0) << what;
            std::vector<std::string> before;
            for (const char* file : w.files) before.push_back(sandbox::ReadFile(file));
            const std::string listing = sandbox::Output("ls -a /etc /etc/config");
            const std::string effect = w.effect(ui);
            logcap::Clear();
            ASSERT_EQ(sandbox::Run(fault.make), 0) << what;
            undo_ = fault.undo;
            EXPECT_EQ(ui.Call(w.method, w.b), w.status) << what;
            EXPECT_FALSE(logcap::Level5().empty() && logcap::Errors().empty()) << what;
            ASSERT_EQ(sandbox::Run(fault.undo), 0) << what;
            undo_.clear();
            for (size_t i = 0; i < w.files.size(); ++i)
                EXPECT_EQ(sandbox::ReadFile(w.files[i]), before[i]) << what << ": " << w.files[i];
            EXPECT_EQ(sandbox::Output("ls -a /etc /etc/config"), listing) << what;
            EXPECT_EQ(w.effect(ui), effect) << what;
        }
    }
}

// The radio scripts, which the radio start writes (no bus method does): with /usr/bin read-only,
// and with each script a link into a full filesystem, each generator fails with a level-5
// message and the old script stays whole and executable, with no temporary file beside it.
TEST_F(FullOrReadOnly, RadioScriptsStayWhenTheyCannotBeWritten) {
    const std::string scripts = "bcmApSet.sh bcmApStaSet.sh bcm_mac_filter.sh";
    const std::string full_make =
        "mkdir -p /run/full && mount -t tmpfs -o size=64k tmpfs /run/full && for f in " + scripts +
        "; do mv /usr/bin/$f /run/full/ && ln -s /run/full/$f /usr/bin/$f; done && "
        "dd if=/dev/zero of=/run/full/fill bs=4k 2>/dev/null; df /run/full | grep -q 100%";
    const std::string full_undo = "for f in " + scripts +
                                  "; do rm /usr/bin/$f && mv /run/full/$f /usr/bin/; done; "
                                  "umount /run/full";
    const Fault faults[] = {
        {"full", full_make.c_str(), full_undo.c_str()},
        {"read-only /usr/bin", "mount -o remount,bind,ro /usr/bin",
         "mount -o remount,bind,rw /usr/bin"},
    };
    for (const Fault& fault : faults) {
        std::vector<std::pair<const Target*, std::string>> before;
        for (const Target& target : kTargets) {
            if (strncmp(target.path, "/usr/bin/", 9) != 0) continue;
            ASSERT_TRUE(target.write(0)) << target.path;
            before.emplace_back(&target, sandbox::ReadFile(target.path) + Mode(target.path));
        }
        ASSERT_EQ(sandbox::Run(fault.make), 0) << fault.name;
        undo_ = fault.undo;
        for (const auto& [target, old] : before) {
            logcap::Clear();
            EXPECT_FALSE(target->write(1)) << target->path << ", " << fault.name;
            EXPECT_FALSE(logcap::Level5().empty()) << target->path << ", " << fault.name;
            EXPECT_EQ(sandbox::ReadFile(target->path) + Mode(target->path), old)
                << target->path << ", " << fault.name;
        }
        EXPECT_EQ(sandbox::Output("ls -A /run/full /usr/bin 2>/dev/null | grep -c '^[.]'"), "0\n")
            << "a temporary file stayed, " << fault.name;
        ASSERT_EQ(sandbox::Run(fault.undo), 0) << fault.name;
        undo_.clear();
    }
}
