// The cost of the station poll on the simulated device, inside the test sandbox (private
// namespaces with overlays over /etc, /usr/bin and /var), so nothing on this machine is changed.
//
// Side by side in one run:
//  - CPU per poll cycle of a host running the agent (its own threads and every process they
//    start) at 0, 8 and 32 stations, against the floor: the cycle's two commands (the station
//    list and the count broadcast) started from a plain loop;
//  - wake-ups per second of the host's threads while idle (no station, between polls);
//  - the time StopSpy takes at 32 stations, against its commands run from a plain loop;
//  - the host's resident memory over every cycle of the run.
// The one argument is the number of polls measured at each station count (10).
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "host/sandbox/quiet_output.h"
#include "host/sandbox/sandbox.h"
#include "host/sandbox/test_host.h"

namespace {

constexpr unsigned kWaitMs = 20000;
int g_cycles = 10;  // polls measured at each station count
constexpr int kStopRounds = 3;
constexpr int kIdleSeconds = 10;
constexpr int kStopStations = 32;
constexpr unsigned kPollMs = 2000;  // the agent's pause between polls

using Clock = std::chrono::steady_clock;

FILE* g_out = stdout;

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

double ChildrenCpu() {
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    return Seconds(children.ru_utime) + Seconds(children.ru_stime);
}

double ThisThreadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

long RssKb() {
    FILE* status = fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof(line), status) != nullptr)
        if (sscanf(line, "VmRSS: %ld", &kb) == 1) break;
    fclose(status);
    return kb;
}

// Per thread of this process but the calling one: CPU time (schedstat, in ns) and context
// switches (each one a wake-up of that thread).
struct ThreadUse {
    double cpu = 0;
    long wakeups = 0;
};

std::map<long, ThreadUse> OtherThreads() {
    std::map<long, ThreadUse> threads;
    long self = syscall(SYS_gettid);
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) return threads;
    while (dirent* entry = readdir(tasks)) {
        long tid = atol(entry->d_name);
        if (tid <= 0 || tid == self) continue;
        std::string dir = std::string("/proc/self/task/") + entry->d_name;
        ThreadUse use;
        use.cpu = atof(sandbox::ReadFile(dir + "/schedstat").c_str()) / 1e9;
        std::string status = sandbox::ReadFile(dir + "/status");
        for (const char* key : {"\nvoluntary_ctxt_switches:", "\nnonvoluntary_ctxt_switches:"}) {
            size_t at = status.find(key);
            if (at != std::string::npos) use.wakeups += atol(status.c_str() + at + strlen(key));
        }
        threads[tid] = use;
    }
    closedir(tasks);
    return threads;
}

// What the other threads used between two snapshots, thread by thread.
std::map<long, ThreadUse> Used(const std::map<long, ThreadUse>& before,
                               const std::map<long, ThreadUse>& after) {
    std::map<long, ThreadUse> used;
    for (const auto& [tid, now] : after) {
        auto was = before.find(tid);
        ThreadUse delta = now;
        if (was != before.end()) {
            delta.cpu -= was->second.cpu;
            delta.wakeups -= was->second.wakeups;
        }
        used[tid] = delta;
    }
    return used;
}

// Starts a program as the poll's floor does: posix_spawnp, standard output through a pipe read
// to its end, wait4. Returns the child's CPU seconds.
double RunProgram(std::vector<const char*> argv) {
    argv.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    pid_t pid;
    int error = posix_spawnp(&pid, argv[0], &actions, nullptr,
                             const_cast<char* const*>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    double cpu = 0;
    if (error == 0) {
        char buf[4096];
        while (read(fds[0], buf, sizeof(buf)) > 0) {
        }
        rusage use{};
        int status;
        if (wait4(pid, &status, 0, &use) == pid)
            cpu = Seconds(use.ru_utime) + Seconds(use.ru_stime);
    }
    close(fds[0]);
    return cpu;
}

void Sim(const std::string& args) { sandbox::Run("wlarm-sim " + args + " >/dev/null 2>&1"); }

std::vector<std::string> Macs(int count) {
    std::vector<std::string> macs;
    for (int i = 1; i <= count; ++i) {
        char mac[32];
        snprintf(mac, sizeof(mac), "02:00:00:00:%02x:%02x", i / 256, i % 256);
        macs.push_back(mac);
    }
    return macs;
}

// Lets the stations up to count associate (the device's radio admits 10; the simulated one is
// raised to 128 for the measurement).
void Associate(int from, int count) {
    sandbox::Run("wlarm maxassoc 128 >/dev/null; wlarm bss_maxassoc 128 >/dev/null");
    std::string args = "sta auth";
    std::vector<std::string> macs = Macs(count);
    for (int i = from; i < count; ++i) args += " " + macs[static_cast<size_t>(i)];
    if (count > from) Sim(args);
}

// A WPA2 AP with WPS on, so that the WPS worker runs too.
void InstallDevice() {
    sandbox::WriteFile("/etc/hostapd.conf",
                       "interface=wlan0\nssid=PollCost\ncountry_code=US\nhw_mode=g\nwmode=2\n"
                       "ieee80211n=1\nchannel=6\nauto_chan_select=0\nauth_algs=1\nwpa=3\n"
                       "wpa_key_mgmt=WPA-PSK\nwpa_pairwise=CCMP\nwpa_passphrase=poll cost 1\n"
                       "wps_state=2\neap_server=1\nmacaddr_acl=0\n");
    sandbox::WriteFile("/etc/config/wlan",
                       "config setting 'basic_setting'\n\toption disable_time '600'\n"
                       "\toption disable_time_system '600'\n\toption wisp_status '0'\n");
    sandbox::WriteFile("/etc/config/hostapd.deny", "");
}

// The host's resident memory at the first poll, at the end of each stage and at the end.
struct Rss {
    long first = -1, max = 0;
    std::string stages;
    void Sample() {
        long now = RssKb();
        if (first < 0) first = now;
        max = std::max(max, now);
    }
    void EndOfStage() { stages += " " + std::to_string(RssKb()); }
};

double Ms(double seconds) { return seconds * 1e3; }

}  // namespace

int main(int argc, char** argv) {
    sandbox::Init(argc, argv);
    if (!sandbox::Available()) {
        fprintf(stderr, "The measurement needs the sandbox: %s\n", sandbox::Why().c_str());
        return 1;
    }
    if (argc > 1) g_cycles = std::max(1, atoi(argv[1]));
    g_out = quiet_output();
    InstallDevice();
    Rss rss;
    test_host::TestHost host;
    if (!host.Ready() || host.StartSpy() != 0) {
        fprintf(g_out, "the host could not start the agent\n");
        return 1;
    }
    size_t mark = 0;
    size_t polls = 0;
    auto next_poll = [&](const std::string& count) {
        long at = host.WaitForStaNum(count, kWaitMs, mark);
        if (at < 0) {
            fprintf(g_out, "no station count %s reported\n", count.c_str());
            exit(1);
        }
        mark = static_cast<size_t>(at) + 1;
        ++polls;
        rss.Sample();
    };
    next_poll("0");

    fprintf(g_out,
            "CPU per poll cycle (ms), %d cycles each. host: the host's threads (the agent's and "
            "its own) and the processes they start; floor: the cycle's two commands started from "
            "a plain loop; own +%%: the host's own CPU above the floor's, in %% of the floor\n",
            g_cycles);
    fprintf(g_out, "%8s %10s %10s %10s %10s %10s %10s %8s %8s\n", "stations", "host own",
            "host cmds", "host total", "floor own", "floor cmds", "floor tot", "ratio", "own +%");
    int associated = 0;
    for (int stations : {0, 8, 32}) {
        Associate(associated, stations);
        associated = stations;
        std::string count = std::to_string(stations);
        std::string message = "{\"current_sta_num\":\"" + count + "\"}";
        next_poll(count);
        next_poll(count);
        double floor_own = 0, floor_cmds = 0;
        double children_before = ChildrenCpu();
        auto threads_before = OtherThreads();
        for (int i = 0; i < g_cycles; ++i) {
            next_poll(count);
            // The floor is a plain loop with the same pause between its cycles, run side by side
            // with the poll half a pause later: the commands find the machine as the poll does.
            usleep(kPollMs * 1000 / 2);
            double begin = ThisThreadCpu();
            floor_cmds += RunProgram({"wlarm", "autho_sta_list"});
            floor_cmds += RunProgram({"ubus", "send", "wlan_event", message.c_str()});
            floor_own += ThisThreadCpu() - begin;
        }
        double host_own = 0;
        for (const auto& [tid, use] : Used(threads_before, OtherThreads())) host_own += use.cpu;
        double host_cmds = ChildrenCpu() - children_before - floor_cmds;
        double host_total = host_own + host_cmds, floor_total = floor_own + floor_cmds;
        fprintf(g_out, "%8d %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f %8.3f %7.1f%%\n", stations,
                Ms(host_own / g_cycles), Ms(host_cmds / g_cycles), Ms(host_total / g_cycles),
                Ms(floor_own / g_cycles), Ms(floor_cmds / g_cycles), Ms(floor_total / g_cycles),
                host_total / floor_total, 100 * (host_own - floor_own) / floor_total);
        rss.EndOfStage();

        if (stations == 0) {
            // Idle: no station, the spy pauses between polls.
            auto before = OtherThreads();
            size_t idle_mark = host.EventCount();
            sleep(kIdleSeconds);
            size_t idle_polls = host.EventCount() - idle_mark;
            std::vector<long> woken;
            long total = 0;
            for (const auto& [tid, use] : Used(before, OtherThreads())) {
                total += use.wakeups;
                if (use.wakeups > 0) woken.push_back(use.wakeups);
            }
            std::sort(woken.rbegin(), woken.rend());
            std::string by_thread;
            for (long n : woken) by_thread += " " + std::to_string(n);
            fprintf(g_out,
                    "idle, %d s: %.1f wake-ups a second, %zu polls, %.1f wake-ups a poll; threads "
                    "that woke:%s (of %zu)\n",
                    kIdleSeconds, static_cast<double>(total) / kIdleSeconds, idle_polls,
                    idle_polls ? static_cast<double>(total) / static_cast<double>(idle_polls) : 0.0,
                    by_thread.c_str(), before.size());
            mark = host.EventCount();
        }
    }

    // StopSpy right after a poll at 32 stations, against its commands from a plain loop with the
    // radio up and the same stations: the spy's last broadcast, the station list, one
    // deauthentication per station, the radio stop.
    double stop_ms = 0, floor_ms = 0;
    std::vector<std::string> macs = Macs(kStopStations);
    for (int round = 0; round < kStopRounds; ++round) {
        if (round > 0) {
            if (host.StartSpy() != 0) return 1;
            Associate(0, kStopStations);
        }
        next_poll(std::to_string(kStopStations));
        next_poll(std::to_string(kStopStations));
        Clock::time_point begin = Clock::now();
        host.StopSpy();
        stop_ms += std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        rss.Sample();

        sandbox::Run("/usr/bin/bcmwlan_ap1.sh start >/dev/null 2>&1");
        Associate(0, kStopStations);
        begin = Clock::now();
        RunProgram({"ubus", "send", "wlan_event", "{\"wlan_switch\":\"off\"}"});
        RunProgram({"wlarm", "autho_sta_list"});
        for (const std::string& mac : macs) RunProgram({"wlarm", "deauthenticate", mac.c_str()});
        RunProgram({"/usr/bin/bcmwlan_ap1.sh", "stop"});
        floor_ms += std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        mark = host.EventCount();
    }
    rss.EndOfStage();
    fprintf(g_out,
            "StopSpy at %d stations: %.1f ms; its commands from a plain loop: %.1f ms; ratio "
            "%.3f (mean of %d)\n",
            kStopStations, stop_ms / kStopRounds, floor_ms / kStopRounds, stop_ms / floor_ms,
            kStopRounds);
    fprintf(g_out,
            "host RSS (kB): %ld at the first poll; after the 0, 8 and 32 station stages and the "
            "stops:%s; highest %ld (%zu polls)\n",
            rss.first, rss.stages.c_str(), rss.max, polls);
    return 0;
}
