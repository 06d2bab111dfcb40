// The soak run on the simulated device, inside the test sandbox (private namespaces with overlays
// over /etc, /usr/bin and /var), so nothing on this machine is changed. scripts/soak runs it with
// host/timewarp preloaded, so the spy's pauses, the countdown's timer and the WPS pauses shrink.
//
// A host runs the agent while, at once:
//  - stations join and leave (wlarm-sim), and every station count is waited for as the host hears
//    it in HA_WLAN_EVT_STA_NUM;
//  - a client thread calls bus methods of the agent's object and checks every reply;
//  - WPS sessions start; every other one is cancelled while it runs.
// It measures at the start (after a warm-up), half-way and at the end: the host's resident memory
// (which must not grow in the second half), open file descriptors, threads and unreaped children,
// and checks that nothing is lost: every station count is heard, every count broadcast on the bus
// is heard by the host, every WPS session reports one outcome and every bus call is answered. The
// one argument is the number of spy cycles (polls).
extern "C" {
#include <libubox/blobmsg_json.h>
}
#include <dirent.h>
#include <fcntl.h>
#include <libubus.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "host/sandbox/bus_connect.h"
#include "host/sandbox/bus_events.h"
#include "host/sandbox/quiet_output.h"
#include "host/sandbox/sandbox.h"
#include "host/sandbox/test_host.h"
#include "wpscli_test.h"

namespace {

FILE* g_out = stdout;
long g_warp = 1;  // the time compression factor (WLAN_TIMEWARP)
constexpr int kMaxStations = 8;
constexpr size_t kWarmUpPolls = 1000;
// A reply or event is given this long (real time), whatever the compression.
constexpr unsigned kWaitRealMs = 20000;

unsigned WaitMs() { return static_cast<unsigned>(kWaitRealMs * g_warp); }

long StatusValue(const char* path, const char* key) {
    std::string status = sandbox::ReadFile(path);
    size_t at = status.find(key);
    return at == std::string::npos ? -1 : atol(status.c_str() + at + strlen(key));
}

size_t Entries(const char* dir_path) {
    size_t count = 0;
    if (DIR* dir = opendir(dir_path)) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ++count;
        closedir(dir);
    }
    return count;
}

// Children of this process that have ended and were not waited for.
size_t Zombies() {
    size_t zombies = 0;
    pid_t self = getpid();
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return 0;
    while (dirent* entry = readdir(proc)) {
        if (atol(entry->d_name) <= 0) continue;
        std::string stat = sandbox::ReadFile(std::string("/proc/") + entry->d_name + "/stat");
        size_t paren = stat.rfind(')');
        char state = 0;
        long ppid = 0;
        if (paren != std::string::npos &&
            sscanf(stat.c_str() + paren + 1, " %c %ld", &state, &ppid) == 2 && ppid == self &&
            state == 'Z')
            ++zombies;
    }
    closedir(proc);
    return zombies;
}

struct Figures {
    long rss_kb = 0;
    size_t fds = 0, threads = 0, zombies = 0, events = 0;
    static Figures Now() {
        Figures f;
        f.rss_kb = StatusValue("/proc/self/status", "\nVmRSS:");
        f.fds = Entries("/proc/self/fd");
        f.threads = Entries("/proc/self/task");
        // A child may be between its end and its reaping, a command's pipe open while it runs:
        // each counts when it stays over a few samples.
        f.zombies = Zombies();
        for (int i = 0; i < 5; ++i) {
            usleep(static_cast<useconds_t>(20000 * g_warp));
            f.zombies = std::min(f.zombies, Zombies());
            f.fds = std::min(f.fds, Entries("/proc/self/fd"));
        }
        return f;
    }
};

const wpscli_test_step kWpsSteps[] = {{BRCM_WPSCLI_CONTINUE, 200}, {BRCM_WPSCLI_SUCCESS, 0}};

void Sim(const std::string& args) { sandbox::Run("wlarm-sim " + args + " >/dev/null 2>&1"); }

std::string Mac(int i) {
    char mac[32];
    snprintf(mac, sizeof(mac), "02:00:00:00:01:%02x", i);
    return mac;
}

// A WPA2 AP with WPS on; the idle times long enough that the radio stays on.
void InstallDevice() {
    sandbox::WriteFile("/etc/hostapd.conf",
                       "interface=wlan0\nssid=Soak\ncountry_code=US\nhw_mode=g\nwmode=2\n"
                       "ieee80211n=1\nchannel=6\nauto_chan_select=0\nauth_algs=1\nwpa=3\n"
                       "wpa_key_mgmt=WPA-PSK\nwpa_pairwise=CCMP\nwpa_passphrase=soak run 1\n"
                       "wps_state=2\neap_server=1\nmacaddr_acl=0\n");
    sandbox::WriteFile("/etc/config/wlan",
                       "config setting 'basic_setting'\n\toption disable_time '600'\n"
                       "\toption disable_time_system '600'\n\toption wisp_status '0'\n");
    sandbox::WriteFile("/etc/config/hostapd.deny", "");
}

void CollectReply(ubus_request* req, int, blob_attr* msg) {
    char* json = blobmsg_format_json(msg, true);
    if (json != nullptr) *static_cast<std::string*>(req->priv) += json;
    free(json);
}

// The web interface: reads the stations, the configuration and the power-save state in turn
// until told to stop.
struct BusClient {
    std::atomic<bool> stop{false};
    std::atomic<size_t> calls{0}, failed{0};
    std::string first_failure;
    std::thread thread;

    void Start() {
        thread = std::thread([this] {
            ubus_context* ctx = test_bus::Connect();
            if (ctx == nullptr) {
                failed = 1;
                first_failure = "no bus connection";
                return;
            }
            const char* methods[] = {"wlan_get_sta", "wlan_get_config", "wlan_get_ps_status"};
            blob_buf buf = {};
            for (size_t i = 0; !stop; ++i) {
                const char* method = methods[i % 3];
                uint32_t id = 0;
                std::string reply;
                blob_buf_init(&buf, 0);
                int status = ubus_lookup_id(ctx, "wlan_object_test", &id);
                if (status == 0)
                    status = ubus_invoke(ctx, id, method, buf.head, CollectReply, &reply,
                                         static_cast<int>(WaitMs()));
                ++calls;
                if (status != 0 || reply.empty()) {
                    if (failed++ == 0)
                        first_failure = std::string(method) + ": status " + std::to_string(status) +
                                        ", reply '" + reply + "', call " +
                                        std::to_string(calls.load());
                }
                usleep(static_cast<useconds_t>(5000 * g_warp));
            }
            blob_buf_free(&buf);
            ubus_free(ctx);
        });
    }
    void Stop() {
        stop = true;
        if (thread.joinable()) thread.join();
    }
};

size_t CountBroadcasts() {
    size_t count = 0;
    for (const bus_events::Event& event : bus_events::Read())
        if (event.type == "wlan_event" && event.json.rfind("{\"current_sta_num\":", 0) == 0)
            ++count;
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    sandbox::Init(argc, argv);
    if (!sandbox::Available()) {
        fprintf(stderr, "The soak run needs the sandbox: %s\n", sandbox::Why().c_str());
        return 1;
    }
    size_t cycles = argc > 1 ? static_cast<size_t>(std::max(1L, atol(argv[1]))) : 100000;
    if (const char* warp = getenv("WLAN_TIMEWARP")) g_warp = std::max(1L, atol(warp));
    g_out = quiet_output();
    InstallDevice();
    // Each WPS session exchanges for a while (so it can be cancelled), then succeeds.
    wpscli_test_set_exchange(kWpsSteps, 2);

    test_host::TestHost host;
    if (!host.Ready() || host.StartSpy() != 0) {
        fprintf(g_out, "the host could not start the agent\n");
        return 1;
    }
    auto real_start = std::chrono::steady_clock::now();  // compressed: divided by g_warp below
    size_t mark = 0;
    size_t polls = 0;  // every poll reports the station count
    size_t lost_stations = 0, wps_started = 0, wps_cancelled = 0, lost_wps = 0, steps_done = 0;
    // During the run every event but the WPS outcomes is a poll's station count (the host's
    // record is not copied at every step); the exact count is taken at the end.
    auto count_polls = [&] { polls = host.EventCount() - (wps_started - lost_wps); };
    auto count_polls_exactly = [&] {
        auto events = host.Events();
        polls = static_cast<size_t>(std::count_if(events.begin(), events.end(), [](const auto& e) {
            return e.type == HA_WLAN_EVT_STA_NUM;
        }));
    };
    auto hear = [&](int count) {
        long at = host.WaitForStaNum(std::to_string(count), WaitMs(), mark);
        if (at < 0) {
            ++lost_stations;
            fprintf(g_out, "station count %d not heard\n", count);
            return;
        }
        mark = static_cast<size_t>(at) + 1;
    };
    hear(0);

    BusClient client;
    client.Start();
    // Start after the warm-up; the half-way point for memory: the allocator's arenas and the
    // stand-ins' buffers fill over the first several thousand cycles, a leak keeps growing after.
    Figures start, half;
    bool started = false, halfway = false;
    size_t wps_mark = 0;
    int stations = 0;
    while (polls < cycles) {
        // The station count walks 0..kMaxStations and back, joining or leaving 1 to 3 at a time.
        int step = 1 + static_cast<int>(steps_done % 3);
        bool up = (steps_done / 4) % 2 == 0;
        int target = std::clamp(stations + (up ? step : -step), 0, kMaxStations);
        if (target == stations) target = up ? stations - 1 : stations + 1;
        std::string args = target > stations ? "sta auth" : "sta del";
        for (int i = std::min(stations, target); i < std::max(stations, target); ++i)
            args += " " + Mac(i + 1);
        Sim(args);
        stations = target;
        hear(stations);
        // A WPS session every 8 steps; every other one is cancelled while it exchanges. Each
        // reports exactly one outcome before the next starts.
        if (steps_done % 8 == 0) {
            // The WPS stand-in records every call; once the last session is closed its record is
            // cleared, so that it does not count as the host's growth.
            if (wps_started > 0 &&
                wpscli_test_wait_calls("brcm_wpscli_softap_close_session", 1,
                                       static_cast<unsigned>(1000 * g_warp)) >= 1) {
                wpscli_test_reset();
                wpscli_test_set_exchange(kWpsSteps, 2);
            }
            wps_mark = host.EventCount();
            if (host.agent().StartWPS("00000000") == 0) {
                ++wps_started;
                if ((wps_started % 2) == 0) {
                    host.agent().CancelWPS();
                    ++wps_cancelled;
                }
                if (host.WaitForEvent(HA_WLAN_EVT_WPS, WaitMs(), wps_mark) < 0) ++lost_wps;
            }
        }
        ++steps_done;
        count_polls();
        if (!started && polls >= kWarmUpPolls) {
            start = Figures::Now();
            start.events = host.EventCount();
            started = true;
        }
        if (!halfway && polls >= std::max(kWarmUpPolls, cycles / 2)) {
            half = Figures::Now();
            half.events = host.EventCount();
            halfway = true;
        }
        if (polls / 10000 != (polls - 1) / 10000 || (steps_done % 2000) == 0) {
            double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - real_start)
                    .count() /
                static_cast<double>(g_warp);
            fprintf(g_out, "%zu polls, %.0f s, RSS %ld kB\n", polls, seconds,
                    StatusValue("/proc/self/status", "\nVmRSS:"));
        }
    }
    Figures end = Figures::Now();
    client.Stop();
    // Every count the spy broadcast was heard by the host: both come from the same poll, the
    // broadcast first, so the host may be one behind when it is read.
    host.StopSpy();
    count_polls_exactly();
    size_t broadcasts = CountBroadcasts();
    auto events = host.Events();
    size_t wps_events = static_cast<size_t>(std::count_if(
        events.begin(), events.end(), [](const auto& e) { return e.type == HA_WLAN_EVT_WPS; }));
    size_t texts_bytes = 0;
    for (size_t i = half.events; i < events.size(); ++i)
        if (events[i].text.capacity() > 15) texts_bytes += events[i].text.capacity() + 1;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - real_start).count() /
        static_cast<double>(g_warp);

    fprintf(g_out, "soak: %zu spy cycles, %zu station changes in %.0f s (time compressed %ldx)\n",
            polls, steps_done, seconds, g_warp);
    fprintf(g_out, "%-22s %10s %10s %10s\n", "", "start", "half-way", "end");
    fprintf(g_out, "%-22s %10ld %10ld %10ld\n", "RSS (kB)", start.rss_kb, half.rss_kb, end.rss_kb);
    // The host keeps a record of every event it heard; its growth is the host's, not the agent's.
    long record_kb =
        static_cast<long>((events.size() - half.events) * sizeof(test_host::HostEvent) +
                          texts_bytes) /
        1024;
    fprintf(g_out, "%-22s %10s %10s %10s\n", "host's event record", "", "",
            ("+" + std::to_string(record_kb)).c_str());
    fprintf(g_out, "%-22s %10zu %10zu %10zu\n", "open descriptors", start.fds, half.fds, end.fds);
    fprintf(g_out, "%-22s %10zu %10zu %10zu\n", "threads", start.threads, half.threads,
            end.threads);
    fprintf(g_out, "%-22s %10zu %10zu %10zu\n", "unreaped children", start.zombies, half.zombies,
            end.zombies);
    fprintf(g_out, "station counts: %zu sent, %zu not heard\n", steps_done, lost_stations);
    fprintf(g_out, "count broadcasts on the bus: %zu, heard by the host: %zu\n", broadcasts, polls);
    fprintf(g_out, "WPS sessions: %zu started (%zu cancelled), %zu outcomes, %zu not reported\n",
            wps_started, wps_cancelled, wps_events, lost_wps);
    fprintf(g_out, "bus calls: %zu, %zu failed%s%s\n", client.calls.load(), client.failed.load(),
            client.failed ? "; first: " : "", client.first_failure.c_str());

    // Resident memory from half-way to the end may move by a few pages; growth beyond that and the
    // host's record fails.
    std::vector<std::string> faults;
    if (end.rss_kb - record_kb > half.rss_kb + std::max(512L, half.rss_kb / 10))
        faults.push_back("RSS grew");
    if (end.fds > start.fds) faults.push_back("descriptors grew");
    if (end.threads > start.threads) faults.push_back("threads grew");
    if (end.zombies > 0) faults.push_back("children left unreaped");
    if (lost_stations > 0) faults.push_back("station counts lost");
    if (broadcasts < polls || broadcasts > polls + 1) faults.push_back("count events lost");
    if (lost_wps > 0 || wps_events != wps_started) faults.push_back("WPS outcomes lost");
    if (client.failed > 0) faults.push_back("bus calls failed");
    for (const std::string& fault : faults) fprintf(g_out, "FAIL: %s\n", fault.c_str());
    if (faults.empty()) fprintf(g_out, "PASS\n");
    return faults.empty() ? 0 : 1;
}
