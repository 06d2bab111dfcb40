#include <pthread.h>
#include <string.h>
#include <unistd.h>

#include "agent/event_delivery.h"
#include "agent/spy_signal.h"
#include "agent/wlan_settings.h"
#include "hostapd_agent.h"
#include "ubus/shadow_agent.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/text.h"

namespace {

void* spy_thread_main(void* arg) {
    if (arg == nullptr) return nullptr;
    // StopSpy waits for this thread, so it must never wait for a callback to return.
    event_raiser_never_waits();
    return static_cast<HostapdAgent*>(arg)->SpyWork(nullptr);
}

}  // namespace

HostapdAgent::HostapdAgent()
    : lte_coex{},
      _wlan_on(false),
      _fail_handled(true),
      _ifname{},
      _sta_list(new StaList()),
      _running(false),
      _spy_on(false),
      _started(false),
      _ctx(nullptr),
      _ua(nullptr),
      _ubus_path{},
      _internal_ubus(true),
      _wps_on(false),
      _last_wps_result(WPS_RESULT_STARTED),
      _wps_featured(false) {
    copy_text(_ubus_path, kUbusSocketPath);
}

HostapdAgent::~HostapdAgent() {
    StopSpy();
    // No bus handler may reach the list once it is freed; the bus side itself stops later.
    shadow_agent_withdraw(this);
    delete _sta_list;
    _sta_list = nullptr;
    memset(_ifname, 0, sizeof(_ifname));
    DisconnectUbus();
    _internal_ubus = true;
    memset(_ubus_path, 0, sizeof(_ubus_path));
    _wps_featured = false;
    _wps_on = false;
    _last_wps_result = WPS_RESULT_STARTED;
    _wlan_on = false;
    _fail_handled = true;
}

int HostapdAgent::StartSpy() {
    long user_time = _get_wlan_auto_down_time();
    long system_time = _get_wlan_auto_down_time_system();
    if (user_time < system_time) {
        wlan_syslog("HostapdAgent::StartSpy: Set auto down time [%ld] sec(s)", user_time);
        SetWlanCountDown(user_time);
    } else {
        wlan_syslog("HostapdAgent::StartSpy: Set system auto down time [%ld] sec(s)", system_time);
        SetWlanCountDown(system_time);
    }

    if (_running) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartSpy: Spy is already running.");
        return -2;
    }

    if (BcmWLStart() != 0) {
        SetWlanOn(true);
        SetFailHandled(false);
        HandleMsg("AP-START-FAILURE", 0);
        return 0;
    }

    if (ConnectUbus() != 0)
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartSpy: Connect to ubus failed.");

    _spy_on = true;
    _started = true;

    // The spy counts as running from here on, so that a StopSpy or the destructor right after
    // this start waits for the thread. Claimed, not just set: of two concurrent starts only one
    // creates a spy thread.
    bool idle = false;
    if (!_running.compare_exchange_strong(idle, true)) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartSpy: Spy is already running.");
        return -2;
    }
    pthread_t thread;
    if (pthread_create(&thread, nullptr, spy_thread_main, this) != 0) {
        spy_signal_ended(_running);
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartSpy: Failed to create thread.");
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::StartSpy: Start spy failed.");
        StopSpy();
        return -1;
    }
    if (pthread_detach(thread) != 0) {
        wlan_errlog(WLAN_PRIO_ERROR,
                    "HostapdAgent::StartSpy: Detach thread failed, try to stop it.");
        StopSpy();
        pthread_join(thread, nullptr);
        return -3;
    }
    return 0;
}

int HostapdAgent::StopSpy() {
    bool was_running = _running;
    spy_signal_stop(_spy_on);
    _started = false;
    // The spy thread ends its current cycle (a pause between polls ends at once) and clears
    // _running as its last access to the agent; this returns as soon as it has.
    if (was_running) spy_wait_ended(_running);
    StopCountDown();
    BcmWLStop();
    return 0;
}

void HostapdAgent::SetWlanOn(bool on) {
    _wlan_on = on;
    if (_ua != nullptr) {
        _ua->CastEvent("wlan_event", "wlan_switch", on ? "on" : "off");
        wlan_userlog(WLAN_PRIO_INFO, "WLAN %s", on ? "UP" : "DOWN");
    }
}

bool HostapdAgent::GetWlanOn() { return _wlan_on; }

void HostapdAgent::SetFailHandled(bool handled) { _fail_handled = handled; }

bool HostapdAgent::GetFailHandled() { return _fail_handled; }

bool HostapdAgent::UseInternalUbus() { return _internal_ubus; }

void HostapdAgent::SetUbusContext(ubus_context* ctx) {
    if (ctx == nullptr) return;
    _ctx = ctx;
    _internal_ubus = false;
}

void HostapdAgent::updateAcl(const char*) {
    if (!_running)
        wlan_errlog(WLAN_PRIO_ERROR,
                    "HostapdAgent::updateAcl: Unable to update acl, agent is not running.");
}
