#include <pthread.h>
#include <string.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "agent/event_delivery.h"
#include "agent/wps_state.h"
#include "hostapd_agent.h"
#include "util/log.h"
#include "util/text.h"

namespace {

// Workers keep running while this is 1.
std::atomic<int32_t> wps_thread_on{0};
// See wps_set_session_pin.
char wps_pin[kWpsPinLength + 1];
brcm_wpscli_nw_settings wps_nw_settings;
std::atomic<uint32_t> wps_worker_generation{0};
// Counted before a worker's thread is created; the worker takes itself out as its very last
// step.
std::atomic<int32_t> wps_workers_alive_count{0};

thread_local bool on_worker_thread = false;

constexpr uint32_t kSessionTimeoutSeconds = 120;
constexpr std::chrono::seconds kPauseAfterSession{1};

// Wakes the workers when they are no longer wanted, when a newer one starts and when a session
// is requested; wakes the waiters of wps_wait_workers_ended when a worker ends. Taken alone; the
// flags it covers are changed while it is held. Never destroyed: a detached worker may still
// signal while the process exits.
struct WorkerSignal {
    std::mutex mutex;
    std::condition_variable changed;
};

WorkerSignal& worker_signal() {
    static WorkerSignal* signal = new WorkerSignal();
    return *signal;
}

// Takes the worker out of wps_workers_alive_count when it ends, whichever way it leaves.
class AliveCount {
public:
    ~AliveCount() {
        WorkerSignal& signal = worker_signal();
        std::lock_guard<std::mutex> guard(signal.mutex);
        wps_workers_alive_count.fetch_sub(1);
        signal.changed.notify_all();
    }
};

bool keeps_running(uint32_t generation) {
    return wps_thread_on.load() != 0 && wps_worker_generation.load() == generation;
}

// Waits, without waking in between, until a session is requested or the worker is to end.
void wait_for_request(HostapdAgent* agent, uint32_t generation) {
    WorkerSignal& signal = worker_signal();
    std::unique_lock<std::mutex> lock(signal.mutex);
    signal.changed.wait(lock, [agent, generation] {
        return !keeps_running(generation) || agent->IsWPSProcedureOn();
    });
}

// Pauses a second (monotonic clock), ending early once the worker is to end.
void pause_after_session(uint32_t generation) {
    WorkerSignal& signal = worker_signal();
    std::unique_lock<std::mutex> lock(signal.mutex);
    signal.changed.wait_for(lock, kPauseAfterSession,
                            [generation] { return !keeps_running(generation); });
}

void notify_workers() {
    WorkerSignal& signal = worker_signal();
    std::lock_guard<std::mutex> guard(signal.mutex);
    signal.changed.notify_all();
}

const char* outcome_message(brcm_wpscli_status status) {
    switch (status) {
        case BRCM_WPSCLI_SUCCESS:
            return "WPS-SUCCESS ";
        case BRCM_WPSCLI_PBC_OVERLAP:
            return "WPS-OVERLAP-DETECTED ";
        case BRCM_WPSCLI_TIMEOUT:
            return "WPS-TIMEOUT ";
        default:
            return "WPS-FAIL ";
    }
}

// Reports the session's outcome unless someone else already did: a session aborted because the
// spy ended has been reported as timed out by the spy thread, and a second, conflicting report
// would overwrite it.
void report_outcome(HostapdAgent* agent, const char* message) {
    DeferredEventDelivery deferred;  // the callbacks run after the lock is released
    auto guard = wps_outcome_lock();
    if (agent->IsWPSProcedureOn())
        agent->HandleWPSMsg(message);
    else
        WLAN_LOG5("WPS worker: session already reported, [%s] dropped", message);
}

// Runs the requested session. Returns true when it went as far as the exchange (the worker
// then pauses a second before it looks for the next request).
bool run_session(HostapdAgent* agent, uint8_t* peer_addr) {
    WpsPinMode mode = wps_pin_mode(wps_pin);
    if (mode == WpsPinMode::kInvalid) {
        wlan_errlog(WLAN_PRIO_ERROR, "WPS method error, invalid PIN[%s]", wps_pin);
        report_outcome(agent, "WPS-FAIL ");
        return false;
    }
    brcm_wpscli_softap_set_wps_context(&wps_nw_settings, wps_pin, 0, 0);
    bool push_button = mode == WpsPinMode::kPushButton;
    brcm_wpscli_status status = brcm_wpscli_softap_start_wps(
        0, push_button ? BRCM_WPSCLI_MODE_PBC : BRCM_WPSCLI_MODE_PIN,
        push_button ? nullptr : wps_pin, &wps_nw_settings, kSessionTimeoutSeconds, peer_addr, 0, 0);
    if (status != BRCM_WPSCLI_SUCCESS) {
        wlan_errlog(WLAN_PRIO_ERROR, "Start WPS procedure failed.");
        brcm_wpscli_softap_close_session();
        report_outcome(agent, "WPS-FAIL ");
        return false;
    }
    do {
        status = brcm_wpscli_softap_process_eapwps(peer_addr);
    } while (status == BRCM_WPSCLI_CONTINUE);
    report_outcome(agent, outcome_message(status));
    brcm_wpscli_softap_close_session();
    return true;
}

// The body of a worker thread; the argument is the agent (a null agent ends it at once).
void* wps_worker_main(void* arg) {
    AliveCount alive;
    HostapdAgent* agent = static_cast<HostapdAgent*>(arg);
    if (agent == nullptr) return nullptr;
    on_worker_thread = true;
    // BcmWPSDisable waits for this thread, so it must never wait for a callback to return.
    event_raiser_never_waits();
    // The newest worker owns the agent's sessions; an older one still polling ends.
    uint32_t generation = wps_worker_generation.fetch_add(1) + 1;
    notify_workers();  // an older worker ends now
    uint8_t peer_addr[BRCM_WPSCLI_PEER_ADDR_LEN];
    memset(peer_addr, 0, sizeof(peer_addr));
    while (keeps_running(generation)) {
        if (!agent->IsWPSProcedureOn()) {
            wait_for_request(agent, generation);
            continue;
        }
        if (run_session(agent, peer_addr)) pause_after_session(generation);
    }
    return nullptr;
}

}  // namespace

WpsWorkerStart wps_worker_start(HostapdAgent* agent) {
    wps_thread_on = 1;
    wps_workers_alive_count.fetch_add(1);
    pthread_t worker;
    if (pthread_create(&worker, nullptr, wps_worker_main, agent) != 0) {
        wps_workers_alive_count.fetch_sub(1);
        return WpsWorkerStart::kCreateFailed;
    }
    if (pthread_detach(worker) != 0) {
        wps_workers_stop();
        pthread_join(worker, nullptr);
        return WpsWorkerStart::kDetachFailed;
    }
    return WpsWorkerStart::kStarted;
}

void wps_workers_stop() {
    WorkerSignal& signal = worker_signal();
    std::lock_guard<std::mutex> guard(signal.mutex);
    wps_thread_on = 0;
    signal.changed.notify_all();
}

void wps_workers_session_requested() { notify_workers(); }

bool wps_workers_wanted() { return wps_thread_on.load() != 0; }

int32_t wps_workers_alive() { return wps_workers_alive_count.load(); }

void wps_set_session_pin(const char* pin) {
    copy_text_n(wps_pin, sizeof(wps_pin), pin, kWpsPinLength);
}

brcm_wpscli_nw_settings* wps_network_settings() { return &wps_nw_settings; }

bool wps_is_worker_thread() { return on_worker_thread; }

bool wps_wait_workers_ended(unsigned timeout_ms) {
    WorkerSignal& signal = worker_signal();
    std::unique_lock<std::mutex> lock(signal.mutex);
    return signal.changed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                   [] { return wps_workers_alive_count.load() <= 0; });
}
