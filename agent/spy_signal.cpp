#include "agent/spy_signal.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

struct SpySignal {
    std::mutex mutex;
    std::condition_variable stop_requested;
    std::condition_variable spy_ended;
};

// Never destroyed: a detached spy thread may still signal while the process exits.
SpySignal& spy_signal() {
    static SpySignal* signal = new SpySignal();
    return *signal;
}

}  // namespace

// The notifications are sent with the lock held, so a waiter that wakes has seen them complete.

void spy_signal_stop(std::atomic<bool>& spy_on) {
    SpySignal& signal = spy_signal();
    std::lock_guard<std::mutex> guard(signal.mutex);
    spy_on = false;
    signal.stop_requested.notify_all();
}

void spy_sleep_while_on(const std::atomic<bool>& spy_on, unsigned seconds) {
    SpySignal& signal = spy_signal();
    std::unique_lock<std::mutex> lock(signal.mutex);
    // steady_clock: the wait is timed on the monotonic clock, so a clock change does not stretch
    // or cut the pause.
    signal.stop_requested.wait_for(lock, std::chrono::seconds(seconds),
                                   [&spy_on] { return !spy_on; });
}

void spy_signal_ended(std::atomic<bool>& running) {
    SpySignal& signal = spy_signal();
    std::lock_guard<std::mutex> guard(signal.mutex);
    running = false;
    signal.spy_ended.notify_all();
}

void spy_wait_ended(const std::atomic<bool>& running) {
    SpySignal& signal = spy_signal();
    std::unique_lock<std::mutex> lock(signal.mutex);
    signal.spy_ended.wait(lock, [&running] { return !running; });
}
