// wlanmgrd as the device runs it: its own process on a shared bus, driven by the web
// interface's calls, key events and the access point daemon's control messages, then stopped
// with SIGTERM.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/bus_events.h"
#include "tests/support/sandbox.h"
#include "wlanmgr.h"

extern char** environ;

namespace {

constexpr const char* kCtrl = "/var/run/hostapd-wl0";
constexpr const char* kPhone = "02:5e:a1:00:00:01";

std::string Chomp(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

bool WaitFor(const std::function<bool()>& done, int seconds = 20) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

pid_t Spawn(const std::vector<std::string>& args, const std::string& log) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

// The exit status, or -1 when it did not exit by itself within the time.
int WaitExit(pid_t pid, int seconds = 30) {
    int status = 0;
    if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// This process's children other than `except`, as "pid (name) " texts.
std::string ChildrenBut(pid_t except) {
    std::string found;
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc != nullptr ? readdir(proc) : nullptr) {
        pid_t pid = atoi(entry->d_name);
        if (pid <= 0 || pid == except) continue;
        std::string stat = sandbox::ReadFile("/proc/" + std::to_string(pid) + "/stat");
        size_t end = stat.rfind(')');
        if (end == std::string::npos) continue;
        int ppid = 0;
        if (sscanf(stat.c_str() + end + 1, " %*c %d", &ppid) == 1 && ppid == getpid())
            found += std::to_string(pid) + " " + stat.substr(0, end + 1) + " ";
    }
    if (proc != nullptr) closedir(proc);
    return found;
}

bool Radio() { return Chomp(sandbox::Output("wlarm isup 2>/dev/null")) == "1"; }

std::string LastSwitch() {
    std::string last;
    for (const bus_events::Event& event : bus_events::Read())
        if (event.json.find("wlan_switch") != std::string::npos) last = event.json;
    return last;
}

size_t Count(const std::string& json) {
    size_t n = 0;
    for (const bus_events::Event& event : bus_events::Read()) n += event.json == json;
    return n;
}

// The access point daemon's side of its control socket: answers ATTACH and PING, sends events.
class FakeHostapd {
public:
    FakeHostapd() {
        fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        strcpy(address.sun_path, kCtrl);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        timeval tv = {0, 100000};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    }
    ~FakeHostapd() { close(fd_); }
    // Answers requests until a monitor attached.
    bool Attached() {
        return WaitFor([this] {
            char request[64];
            socklen_t size = sizeof(monitor_);
            ssize_t n = recvfrom(fd_, request, sizeof(request), 0,
                                 reinterpret_cast<sockaddr*>(&monitor_), &size);
            if (n <= 0) return false;
            std::string text(request, static_cast<size_t>(n));
            std::string reply = text == "PING" ? "PONG\n" : "OK\n";
            sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&monitor_),
                   size);
            return text == "ATTACH";
        });
    }
    void Send(const std::string& event) {
        sendto(fd_, event.data(), event.size(), 0, reinterpret_cast<sockaddr*>(&monitor_),
               sizeof(monitor_));
    }
    bool bound() const { return bound_; }

private:
    int fd_;
    bool bound_ = false;
    sockaddr_un monitor_ = {};
};

class Wlanmgrd : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        std::string samples = sandbox::SourceDir() + "/host/sample/";
        sandbox::WriteFile("/etc/default_config/AR6004_hostapd.conf",
                           sandbox::ReadFile(samples + "AR6004_hostapd.conf"));
        sandbox::WriteFile("/etc/config/product", sandbox::ReadFile(samples + "product"));
        sandbox::WriteFile("/etc/config/wlan",
                           "config setting 'basic_setting'\n\toption disable_time '600'\n"
                           "\toption disable_time_system '300'\n\toption wisp_status '0'\n");
        sandbox::WriteFile("/etc/config/hostapd.deny", "");
        sandbox::WriteFile("/var/lib/misc/dnsmasq.leases", "");
        prepare_hostapd_conf("/etc/hostapd.conf");
        // Orphans of the daemon come to this process, so none can escape the check.
        prctl(PR_SET_CHILD_SUBREAPER, 1);
    }
    void TearDown() override {
        if (bus_ > 0) {
            kill(bus_, SIGTERM);
            WaitExit(bus_);
        }
        prctl(PR_SET_CHILD_SUBREAPER, 0);
    }
    void StartBus() {
        bus_ = Spawn({"/usr/bin/ubusd"}, "/var/log/ubusd.log");
        ASSERT_TRUE(WaitFor([] { return sandbox::Exists("/var/run/ubus.sock"); }));
    }
    pid_t bus_ = -1;
};

TEST_F(Wlanmgrd, AnswersItsEventsAndLeavesNothingBehindOnSigterm) {
    StartBus();
    FakeHostapd hostapd;
    ASSERT_TRUE(hostapd.bound());
    pid_t daemon = Spawn({WLANMGRD_PATH, "-f", "-c", kCtrl}, "/var/log/wlanmgrd.log");
    ASSERT_GT(daemon, 0);
    ASSERT_TRUE(WaitFor([] { return sandbox::Output("ubus list") == "wlan_object_test\n"; }))
        << sandbox::ReadFile("/var/log/wlanmgrd.log");
    ASSERT_TRUE(WaitFor(Radio));

    // Control messages reach the agent: a station joins, and a firmware error restarts Wi-Fi.
    ASSERT_TRUE(hostapd.Attached());
    hostapd.Send(std::string("<3>AP-STA-CONNECTED ") + kPhone);
    EXPECT_TRUE(WaitFor([] { return Count("{\"current_sta_num\":\"1\"}") == 1; }));
    size_t ups = Count("{\"wlan_switch\":\"on\"}");
    hostapd.Send("<3>AP-FW-ERROR");
    EXPECT_TRUE(WaitFor([&] { return Count("{\"wlan_switch\":\"on\"}") == ups + 1; }))
        << "no restart after the firmware error";

    // The web interface switches Wi-Fi off; the power key's click switches it on again.
    EXPECT_EQ(sandbox::Output("ubus call wlan_object_test wlan_set_switch '{\"switch\":\"off\"}'"),
              "{\n\t\"result\": \"0 : Done\"\n}\n");
    EXPECT_FALSE(Radio()) << sandbox::ReadFile("/var/log/wlanmgrd.log");
    ASSERT_EQ(
        sandbox::Run("ubus send key_detect_type '{\"key_detect_msg\":\"power short-click\"}'"), 0);
    EXPECT_TRUE(WaitFor(Radio)) << "the key click did not switch Wi-Fi on";
    EXPECT_TRUE(WaitFor([] { return LastSwitch() == "{\"wlan_switch\":\"on\"}"; }));

    ASSERT_EQ(kill(daemon, SIGTERM), 0);
    EXPECT_EQ(WaitExit(daemon), 0) << sandbox::ReadFile("/var/log/wlanmgrd.log");
    EXPECT_EQ(sandbox::Output("ubus list"), "") << "the object stayed on the bus";
    EXPECT_FALSE(Radio());
    EXPECT_EQ(LastSwitch(), "{\"wlan_switch\":\"off\"}");
    EXPECT_EQ(sandbox::Output("ls /var/run/ubus.sock.peers /tmp"),
              "/tmp:\n\n/var/run/ubus.sock.peers:\n")
        << "sockets left behind";
    EXPECT_EQ(ChildrenBut(bus_), "") << "a child of the daemon outlived it";
}

TEST_F(Wlanmgrd, StartFailuresEndWithTheirReason) {
    // A bus socket with no bus daemon behind it.
    sandbox::WriteFile("/var/run/ubus.sock", "");
    pid_t daemon = Spawn({WLANMGRD_PATH, "-f"}, "/var/log/wlanmgrd.log");
    EXPECT_EQ(WaitExit(daemon), 1);
    EXPECT_NE(sandbox::ReadFile("/var/log/wlanmgrd.log").find("cannot start: no bus"),
              std::string::npos)
        << sandbox::ReadFile("/var/log/wlanmgrd.log");
    EXPECT_FALSE(Radio()) << "the radio stayed up";

    daemon = Spawn({WLANMGRD_PATH, "-x"}, "/var/log/wlanmgrd.log");
    EXPECT_EQ(WaitExit(daemon), 2);
}

}  // namespace
