#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "agent/countdown.h"
#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/support/log_capture.h"

// Threads that the library starts with a given agent as their argument (its spy thread) begin
// their work late, as on a busy device. This program is linked with --wrap=pthread_create.
namespace late_start {

std::atomic<void*> g_agent{nullptr};
std::atomic<int> g_waiting{0};  // created, but their start routine has not begun
std::atomic<void* (*)(void*)> g_routine{nullptr};

void* BeginLate(void* arg) {
    usleep(300 * 1000);
    g_waiting.fetch_sub(1);
    return g_routine.load()(arg);
}

}  // namespace late_start

extern "C" int __real_pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

extern "C" int __wrap_pthread_create(pthread_t* thread, const pthread_attr_t* attr,
                                     void* (*routine)(void*), void* arg) {
    if (arg == nullptr || arg != late_start::g_agent.load())
        return __real_pthread_create(thread, attr, routine, arg);
    late_start::g_waiting.fetch_add(1);
    // The spy thread's routine: WPS, whose worker also takes the agent, is off in these tests.
    late_start::g_routine = routine;
    int result = __real_pthread_create(thread, attr, late_start::BeginLate, arg);
    if (result != 0) late_start::g_waiting.fetch_sub(1);
    return result;
}

namespace {

// A radio whose associated stations are the lines of /tmp/stations; every other command succeeds.
constexpr const char* kFakeWlarm =
    "echo \"$*\" >> /tmp/wlarm.calls\n"
    "case \"$1\" in\n"
    "assoclist|autho_sta_list) cat /tmp/stations 2>/dev/null ;;\n"
    "chanspec) echo '6 (0x1006)' ;;\n"
    "esac\n"
    "exit 0\n";

class SpyLoop : public AgentTest {
protected:
    void Prepare() override {
        AgentTest::Prepare();
        sandbox::WriteFile("/etc/hostapd.conf",
                           "interface=wlan0\nssid=SpyTest\ncountry_code=US\nhw_mode=g\n"
                           "channel=6\nwpa=0\n");
        WriteShellScript("/usr/bin/wlarm", kFakeWlarm);
        WriteShellScript("/usr/bin/bcmwlan_ap1.sh", "exit 0\n");
    }

    static void SetStations(const std::string& lines) {
        sandbox::WriteFile("/tmp/stations.new", lines);
        sandbox::Run("mv /tmp/stations.new /tmp/stations");
    }

    // Waits (ctest ends a hung test) for a report of the station count after the given index.
    static size_t WaitForCount(const std::string& count, size_t after = 0) {
        for (;;) {
            auto events = recorder::Events();
            for (size_t i = after; i < events.size(); ++i)
                if (events[i].type == HA_WLAN_EVT_STA_NUM && events[i].text == count) return i;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
};

}  // namespace

// The poll reports the count of the radio's stations; stations switch the countdown off and the
// user's idle time on.
TEST_F(SpyLoop, ReportsTheCountAndDrivesTheCountdown) {
    ASSERT_EQ(agent_->StartSpy(), 0);
    size_t first = WaitForCount("0");
    EXPECT_EQ(agent_->StartSpy(), -2);            // a second start is refused
    EXPECT_EQ(agent_->StartWPS("00000000"), -1);  // the configuration has no WPS
    EXPECT_TRUE(logcap::Has(logcap::Errors(),
                            "HostapdAgent::StartWPS: Start WPS failed: WPS not featured"));

    SetStations("assoclist AA:BB:CC:DD:EE:01\nassoclist 11:22:33:44:55:77\n");
    size_t two = WaitForCount("2", first + 1);
    WaitForCount("2", two + 1);  // the cycle that counted two has set the countdown by now
    EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 600);
    EXPECT_FALSE(countdown_timer_armed());
    EXPECT_TRUE(
        logcap::Has(logcap::Level5(), "HostapdAgent::SpyWork: Set auto down time [600] sec(s)"));

    SetStations("");
    WaitForCount("0", WaitForCount("0", two + 1) + 1);  // as above
    EXPECT_TRUE(countdown_timer_armed());
}

// Wi-Fi switched off right after it was switched on, or restarted during the start: the stop
// waits for the spy thread of the start, however late that thread begins, and one loop remains.
TEST_F(SpyLoop, StopWaitsForTheThreadOfTheStart) {
    for (const char* sequence : {"stop", "destroy", "restart"}) {
        SCOPED_TRACE(sequence);
        if (agent_ == nullptr) agent_ = new HostapdAgent();
        recorder::Clear();
        late_start::g_agent = agent_;
        ASSERT_EQ(agent_->StartSpy(), 0);
        if (sequence[0] == 'd') {
            delete agent_;
            agent_ = nullptr;
        } else {
            EXPECT_EQ(agent_->StopSpy(), 0);
            EXPECT_FALSE(agent_->IsRunning());
        }
        EXPECT_EQ(late_start::g_waiting.load(), 0);
        if (sequence[0] == 'r') {
            EXPECT_EQ(agent_->StartSpy(), 0);
            EXPECT_TRUE(agent_->IsRunning());
            EXPECT_EQ(late_start::g_waiting.load(), 1);  // the new thread has not begun yet
            WaitForCount("0");
            EXPECT_EQ(agent_->StopSpy(), 0);
            EXPECT_EQ(late_start::g_waiting.load(), 0);
        }
        late_start::g_agent = nullptr;
    }
}

// A stop while the station list is being read waits for that command, and only for it: the
// cycle ends without its pause and no further poll starts.
TEST_F(SpyLoop, StopReturnsOnceTheCommandInFlightEnds) {
    ASSERT_EQ(sandbox::Run("mkfifo /tmp/gate"), 0);
    WriteShellScript("/usr/bin/wlarm",
                     "echo \"$*\" >> /tmp/wlarm.calls\n"
                     "if [ \"$1\" = assoclist ] && [ -e /tmp/hold ]; then\n"
                     "  rm /tmp/hold; echo held >> /tmp/wlarm.calls; read line < /tmp/gate\n"
                     "fi\n");
    ASSERT_EQ(agent_->StartSpy(), 0);
    WaitForCount("0");
    sandbox::WriteFile("/tmp/hold", "");
    while (sandbox::ReadFile("/tmp/wlarm.calls").find("held") == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    std::atomic<bool> returned{false};
    std::thread stopper([this, &returned] {
        agent_->StopSpy();
        returned = true;
    });
    while (agent_->IsStarted()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_FALSE(returned);  // the command is still held
    sandbox::WriteFile("/tmp/gate", "go\n");
    stopper.join();
    EXPECT_FALSE(agent_->IsRunning());
    // After the held poll only the stop's own station listing ran.
    std::string calls = sandbox::ReadFile("/tmp/wlarm.calls");
    EXPECT_EQ(calls.substr(calls.find("held")), "held\nassoclist\n");
}
