// After an AP start failure or firmware error the host is asked, from the work queue, to
// restart Wi-Fi.
#include <stdint.h>
#include <unistd.h>

#include "hostapd_agent.h"
#include "ubus/work_queue.h"
#include "ubus_assistant.h"
#include "util/log.h"

namespace {

constexpr intptr_t kWlanOffRestart = 3;
constexpr unsigned kStartFailurePauseSeconds = 2;

void request_restart() {
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_WLAN_OFF, reinterpret_cast<void*>(kWlanOffRestart));
}

void ap_start_failure_work(void*) {
    wlan_userlog(WLAN_PRIO_ERROR, "AP start failure, resume by restarting...");
    sleep(kStartFailurePauseSeconds);
    request_restart();
}

void ap_fw_error_work(void*) {
    wlan_userlog(WLAN_PRIO_ERROR, "AP fw error, resume by restarting...");
    request_restart();
}

void queue_restart(const char* caller, wq_func_t job) {
    if (!ha_wq_ready()) {
        wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::%s: HA work queue is NULL", caller);
        return;
    }
    wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::%s: Put restart work to queue.", caller);
    // Deinit may have destroyed the queue in between.
    if (ha_wq_put(job, nullptr, nullptr, nullptr) != 0)
        wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::%s: HA work queue is NULL", caller);
}

}  // namespace

void UbusAssistant::OnApStartFailure() { queue_restart("OnApStartFailure", ap_start_failure_work); }

void UbusAssistant::OnApFWError() { queue_restart("OnApFWError", ap_fw_error_work); }
