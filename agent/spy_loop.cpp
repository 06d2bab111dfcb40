#include <stdio.h>

#include <atomic>

#include "agent/event_delivery.h"
#include "agent/spy_signal.h"
#include "agent/spy_state.h"
#include "agent/wlan_settings.h"
#include "agent/wps_state.h"
#include "hostapd_agent.h"
#include "ubus_assistant.h"
#include "util/log.h"

namespace {

constexpr unsigned kPollSeconds = 2;
constexpr unsigned kRetrySeconds = 10;

}  // namespace

void* HostapdAgent::SpyWork(void*) {
    // StartSpy has set _running before it created this thread; the thread clears it as its very
    // last access to the agent, and StopSpy and the destructor wait for that.
    _running = true;
    sta_associated_yet = false;

    if (UpdateAllStaInfo() != 0) {
        spy_signal_ended(_running);
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::SpyWork: Update sta info failed.");
        return nullptr;
    }

    SetWlanOn(true);
    _wps_on = false;
    BroadcastStaNum();

    int previous = 0;
    while (_spy_on) {
        const SpyCommand spy = spy_command_snapshot();
        int count = add_spy_stations(spy, _sta_list);
        if (count < 0) {
            wlan_errlog(WLAN_PRIO_ERROR, "Execute cmd[%s] failed, popen returns null\n",
                        spy.spy_cmd);
            spy_sleep_while_on(_spy_on, kRetrySeconds);
            previous = 0;
            continue;
        }

        char count_text[32];
        snprintf(count_text, sizeof(count_text), "%d", count);
        if (_ua != nullptr) _ua->CastEvent("wlan_event", "current_sta_num", count_text);
        InvokeEventCbs(HA_WLAN_EVT_STA_NUM, count_text);

        if (count != previous) {
            if (count == 0) {
                StartCountDown();
            } else if (previous == 0) {
                StopCountDown();
                sta_associated_yet = true;
                long user_time = _get_wlan_auto_down_time();
                wlan_syslog("HostapdAgent::SpyWork: Set auto down time [%ld] sec(s)", user_time);
                SetWlanCountDown(user_time);
            }
        }
        // Woken early by StopSpy, so that it does not wait out the pause.
        spy_sleep_while_on(_spy_on, kPollSeconds);
        previous = count;
    }

    if (_wps_on) {
        // The callbacks hear the timeout only after the lock is released: a callback's StopSpy
        // waits for the WPS worker, which may be waiting for the lock to report its result.
        DeferredEventDelivery deferred;
        // Held across the abort and the report: the worker's result of the aborted exchange
        // then finds the session reported as timed out and is dropped.
        auto guard = wps_outcome_lock();
        if (CancelWPS() != 0) wlan_errlog(WLAN_PRIO_ERROR, "Cancel WPS procedure failed");
        HandleWPSMsg("WPS-TIMEOUT ");
    }
    SetWlanOn(false);
    ClearAllStaInfo();
    spy_signal_ended(_running);
    return nullptr;
}
