#include "agent/countdown.h"

#include <pthread.h>
#include <semaphore.h>
#include <signal.h>
#include <stdint.h>
#include <string.h>
#include <time.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "hostapd_agent.h"
#include "util/log.h"

std::atomic<int32_t> HostapdAgent::cur_tick{0};
std::atomic<long> HostapdAgent::wlan_count_down{0};

namespace {

constexpr long kTickSeconds = 60;

// Timer state; the mutex keeps callers on different threads from creating two timers.
std::mutex g_timer_mutex;
timer_t countdown_timer;
bool countdown_timer_created = false;

// Ticks travel from the signal handler to the worker through a semaphore (sem_post is
// async-signal-safe); the counters let a caller wait until the worker has caught up.
struct TickChannel {
    TickChannel() { sem_init(&ticks, 0, 0); }
    sem_t ticks;
    std::atomic<unsigned long> recorded{0};
    std::mutex mutex;
    std::condition_variable caught_up;
    unsigned long handled = 0;
    bool worker_running = false;
};
TickChannel g_channel;

static_assert(std::atomic<unsigned long>::is_always_lock_free,
              "the tick counter is written in signal context");

// The steps of one tick, in thread context.
void run_tick() {
    int32_t left = HostapdAgent::cur_tick.load();
    while (left > 0 && !HostapdAgent::cur_tick.compare_exchange_weak(left, left - 1)) {
    }
    if (HostapdAgent::cur_tick.load() != 0) return;
    wlan_userlog(WLAN_PRIO_INFO, "WLAN Auto Down time out.");
    HostapdAgent::StopCountDown();
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_AUTO_DOWN, reinterpret_cast<void*>(1));
}

void* tick_worker(void*) {
    for (;;) {
        if (sem_wait(&g_channel.ticks) != 0) continue;  // EINTR
        run_tick();
        std::lock_guard<std::mutex> guard(g_channel.mutex);
        ++g_channel.handled;
        g_channel.caught_up.notify_all();
    }
    return nullptr;
}

bool ensure_tick_worker() {
    std::lock_guard<std::mutex> guard(g_channel.mutex);
    if (g_channel.worker_running) return true;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, tick_worker, nullptr) != 0) return false;
    pthread_detach(thread);
    g_channel.worker_running = true;
    return true;
}

bool install_alarm_handler() {
    struct sigaction action;
    memset(&action, 0, sizeof(action));
    action.sa_sigaction = HostapdAgent::WlanAutoDownTimerCb;
    // SA_RESTART keeps the tick from failing reads of the thread it happens to interrupt.
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    if (sigemptyset(&action.sa_mask) != 0) return false;
    return sigaction(SIGALRM, &action, nullptr) == 0;
}

int disarm_locked() {
    if (!countdown_timer_created) return -1;
    struct itimerspec off;
    memset(&off, 0, sizeof(off));
    return timer_settime(countdown_timer, 0, &off, nullptr) == 0 ? 0 : -1;
}

}  // namespace

void countdown_wait_ticks_handled() {
    ensure_tick_worker();
    unsigned long target = g_channel.recorded.load();
    std::unique_lock<std::mutex> lock(g_channel.mutex);
    g_channel.caught_up.wait(lock, [target] { return g_channel.handled >= target; });
}

bool countdown_timer_armed() {
    std::lock_guard<std::mutex> guard(g_timer_mutex);
    if (!countdown_timer_created) return false;
    struct itimerspec current;
    if (timer_gettime(countdown_timer, &current) != 0) return false;
    return current.it_value.tv_sec != 0 || current.it_value.tv_nsec != 0;
}

void HostapdAgent::SetWlanCountDown(long seconds) { wlan_count_down = seconds; }

long HostapdAgent::GetWlanCountDown() { return wlan_count_down; }

int HostapdAgent::ResetCountDown() {
    long seconds = wlan_count_down;
    // A 64-bit long holds idle times whose minute count exceeds the int32 tick count: those
    // count down from its largest value instead of a truncated (possibly 0 or negative) one.
    const long ticks = seconds / kTickSeconds + (seconds % kTickSeconds != 0 ? 1 : 0);
    cur_tick = ticks > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ticks);
    return 0;
}

int HostapdAgent::StartCountDown() {
    std::lock_guard<std::mutex> guard(g_timer_mutex);
    if (!countdown_timer_created) {
        if (timer_create(CLOCK_REALTIME, nullptr, &countdown_timer) != 0) {
            wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartCountDown: Create timer failed.");
            return -1;
        }
        countdown_timer_created = true;
        if (!ensure_tick_worker() || !install_alarm_handler()) {
            wlan_errlog(WLAN_PRIO_ERROR,
                        "HostapdAgent::StartCountDown: Set ALARM signal handler failed.");
            return -1;
        }
    }
    if (wlan_count_down < 1) return -1;
    ResetCountDown();
    struct itimerspec every_minute;
    memset(&every_minute, 0, sizeof(every_minute));
    every_minute.it_value.tv_sec = kTickSeconds;
    every_minute.it_interval.tv_sec = kTickSeconds;
    if (timer_settime(countdown_timer, 0, &every_minute, nullptr) != 0) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartCountDown: Set timer failed");
        return -1;
    }
    return 0;
}

int HostapdAgent::StopCountDown() {
    std::lock_guard<std::mutex> guard(g_timer_mutex);
    return disarm_locked();
}

int HostapdAgent::DeleteCountDownTimer() {
    std::lock_guard<std::mutex> guard(g_timer_mutex);
    if (!countdown_timer_created) return -1;
    int result = timer_delete(countdown_timer);
    if (result == 0) countdown_timer_created = false;
    return result;
}

void HostapdAgent::WlanAutoDownTimerCb(int, siginfo_t*, void*) {
    // Signal context: only record the tick.
    g_channel.recorded.fetch_add(1);
    sem_post(&g_channel.ticks);
}
