#include <string.h>

#include "agent/event_delivery.h"
#include "agent/wlan_settings.h"
#include "agent/wps_state.h"
#include "hostapd_agent.h"
#include "ubus_assistant.h"
#include "util/log.h"

namespace {

constexpr const char* kBridge = "br0";
constexpr const char* kManufacturer = "Broadcom";
constexpr uint16_t kConfigMethods = BRCM_WPSCLI_CONFIG_LABEL | BRCM_WPSCLI_CONFIG_VIRTUAL_PBC;
// A worker in a session ends at the latest when the library's 120-second session does.
constexpr unsigned kWorkerEndWaitMs = 125 * 1000;

// The AP side of the radio: "wl0.1" while station mode is on, "eth0" otherwise.
const char* wps_interface() { return _get_wlan_wisp_enable_status() == 1 ? "wl0.1" : "eth0"; }

struct WpsOutcome {
    const char* text;  // searched in the message, trailing blank included
    int32_t code;
    const char* name;  // result name broadcast on the bus
};

// Searched in this order; the first text found decides.
constexpr WpsOutcome kOutcomes[] = {
    {"WPS-OVERLAP-DETECTED ", WPS_RESULT_PBC_OVERLAP, "wps_pbc_overlap"},
    {"WPS-FAIL ", WPS_RESULT_FAILURE, "wps_failure"},
    {"WPS-SUCCESS ", WPS_RESULT_SUCCESS, "wps_success"},
    {"WPS-TIMEOUT ", WPS_RESULT_TIMEOUT, "wps_timeout"},
};

}  // namespace

int HostapdAgent::BcmWPSEnable() {
    if (brcm_wpscli_open(wps_interface(), kBridge, 0, 0, 0) != BRCM_WPSCLI_SUCCESS) {
        wlan_errlog(WLAN_PRIO_ERROR, "Enable WPS failed: brcm_wpscli_open failed. System error!");
        return -1;
    }
    brcm_wpscli_status status = wpscli_softap_construct_def_devinfo();
    if (status != BRCM_WPSCLI_SUCCESS) {
        wlan_errlog(WLAN_PRIO_ERROR,
                    "Enable WPS failed: Failed to construct device informations. status=%d",
                    status);
        brcm_wpscli_close();
        return -1;
    }
    status = brcm_wpscli_softap_enable_wps(kManufacturer, kConfigMethods, 0, 0);
    if (status != BRCM_WPSCLI_SUCCESS) {
        wlan_errlog(WLAN_PRIO_ERROR, "Enable WPS failed: Failed to enable softap wps. status=%d",
                    status);
        brcm_wpscli_close();
        return -1;
    }

    switch (wps_worker_start(this)) {
        case WpsWorkerStart::kStarted:
            return 0;
        case WpsWorkerStart::kCreateFailed:
            wlan_errlog(WLAN_PRIO_ERROR, "Create WPS thread error");
            break;
        case WpsWorkerStart::kDetachFailed:
            wlan_errlog(WLAN_PRIO_ERROR, "Detach WPS thread error");
            break;
    }
    brcm_wpscli_close();
    return -1;
}

int HostapdAgent::BcmWPSDisable() {
    wps_workers_stop();
    // The worker holds this agent: it must be gone before the agent can be destroyed.
    if (!wps_is_worker_thread() && !wps_wait_workers_ended(kWorkerEndWaitMs))
        WLAN_LOG5("BcmWPSDisable: WPS worker did not end");

    if (brcm_wpscli_open(wps_interface(), kBridge, 0, 0, 0) != BRCM_WPSCLI_SUCCESS) {
        wlan_errlog(WLAN_PRIO_ERROR, "Disable WPS failed: brcm_wpscli_open failed. System error!");
        return -1;
    }
    int result = 0;
    brcm_wpscli_status status = brcm_wpscli_softap_disable_wps();
    if (status != BRCM_WPSCLI_SUCCESS) {
        wlan_errlog(WLAN_PRIO_ERROR, "Disable WPS failed: Failed to disable softap wps. status=%d",
                    status);
        result = -1;
    }
    brcm_wpscli_close();
    return result;
}

int HostapdAgent::StartWPS(const char* pin) {
    if (!_running) {
        wlan_errlog(WLAN_PRIO_ERROR,
                    "HostapdAgent::StartWPS: Start WPS failed: agent is not running.");
        return -1;
    }
    if (!_wps_featured) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartWPS: Start WPS failed: WPS not featured");
        return -1;
    }
    if (_wps_on) {
        wlan_errlog(WLAN_PRIO_ERROR,
                    "HostapdAgent::StartWPS: Start WPS failed: Last WPS is under processing.");
        return -1;
    }
    _last_wps_result = WPS_RESULT_FAILURE;
    return BcmWPSStart(pin);
}

int HostapdAgent::BcmWPSStart(const char* pin) {
    // The worker reads the PIN only after it has seen _wps_on set.
    wps_set_session_pin(pin);
    _wps_on = true;
    _last_wps_result = WPS_RESULT_STARTED;
    if (_ua != nullptr) _ua->CastEvent("wlan_event", "wps_event", "wps_start");
    // The worker starts the session once it is recorded and announced as started.
    wps_workers_session_requested();
    return 0;
}

int HostapdAgent::CancelWPS() {
    if (!_running) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::CancelWPS: Agent not running.");
        return -1;
    }
    if (!_wps_on) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::CancelWPS: No WPS procedure here.");
        return -1;
    }
    return BcmWPSStop();
}

int HostapdAgent::BcmWPSStop() {
    if (brcm_wpscli_abort() != BRCM_WPSCLI_SUCCESS) {
        wlan_errlog(WLAN_PRIO_ERROR, "BCMWPSStop: wps procedure abort failed.");
        return -1;
    }
    return 0;
}

namespace {

std::recursive_mutex g_wps_outcome_mutex;

}  // namespace

std::unique_lock<std::recursive_mutex> wps_outcome_lock() {
    return std::unique_lock<std::recursive_mutex>(g_wps_outcome_mutex);
}

void HostapdAgent::HandleWPSMsg(const char* msg) {
    if (msg == nullptr) return;
    // The outcome is queued for the callbacks in the order it is recorded, and delivered once
    // the lock is released: a callback may call StopSpy, whose spy thread needs the lock.
    DeferredEventDelivery deferred;
    auto guard = wps_outcome_lock();
    for (const WpsOutcome& outcome : kOutcomes) {
        if (strstr(msg, outcome.text) == nullptr) continue;
        _last_wps_result = outcome.code;
        _wps_on = false;
        wlan_userlog(WLAN_PRIO_INFO, "WPS event: %s", outcome.name);
        if (_ua != nullptr) _ua->CastEvent("wlan_event", "wps_event", outcome.name);
        InvokeEventCbs(HA_WLAN_EVT_WPS, const_cast<char*>(msg));
        return;
    }
}

void HostapdAgent::BcmHandleWPSMsg(const char* msg) { HandleWPSMsg(msg); }

bool HostapdAgent::IsWPSFeatured() { return _wps_featured; }

bool HostapdAgent::IsWPSProcedureOn() { return _wps_on; }

int32_t HostapdAgent::GetLastWPSResult() { return _last_wps_result; }
