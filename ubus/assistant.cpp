// The assistant's construction, Init and Deinit.
#include "hostapd_agent.h"
#include "ubus/event_subscriptions.h"
#include "ubus/loop_control.h"
#include "ubus/method_groups.h"
#include "ubus/service_object.h"
#include "ubus/shadow_agent.h"
#include "ubus/work_queue.h"
#include "ubus_assistant.h"
#include "util/log.h"

// Statically initialised and never destroyed: a handler on a host's loop thread may still hold
// it while an agent goes away, and a mutex must not be made again while it is in use.
pthread_mutex_t UbusAssistant::wlan_conf_lock = PTHREAD_MUTEX_INITIALIZER;

UbusAssistant::UbusAssistant(HostapdAgent* agent, ubus_context* ctx)
    : _ctx(ctx),
      _registered(false),
      _loop_running(false),
      _agent(agent),
      _loop_thread(),
      _loop_ctl(new UbusLoopControl(this)) {}

UbusAssistant::~UbusAssistant() {
    _agent = nullptr;
    _ctx = nullptr;
    _registered = false;
    _loop_running = false;
    // A loop thread that could not be ended still uses the control; it is left to it.
    if (!_loop_ctl->Alive()) delete _loop_ctl;
    _loop_ctl = nullptr;
}

bool UbusAssistant::_OwnsConnection() { return _agent != nullptr && _agent->UseInternalUbus(); }

bool UbusAssistant::IsLoopRunning() { return _loop_running; }

void UbusAssistant::SetLoopRunning(bool running) { _loop_running = running; }

bool UbusAssistant::IsLoopThreadAlive() { return _loop_ctl->Alive(); }

ubus_context* UbusAssistant::_GetUbusContext() { return _ctx; }

int UbusAssistant::Init() {
    bool own = _OwnsConnection();
    ubus_object* object = own ? &wlan_object_test : &wlan_object;
    if (_ctx == nullptr || ubus_add_object(_ctx, object) != 0) {
        wlan_errlog(WLAN_PRIO_ERROR, own ? "UbusAssistant::Init: Add wlan test obj to ubus failed."
                                         : "UbusAssistant::Init: Add wlan obj to ubus failed.");
        return -1;
    }
    set_shadow_pointers(_agent, this);

    if (own) {
        // ConnectUbus has cleared uloop_handle_sigchld before connecting.
        if (uloop_init() != 0) {
            wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::Init: uloop init failed.");
            return -2;
        }
        ubus_add_uloop(_ctx);
        if (!_loop_ctl->OpenWakePipe()) {
            wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::Init: uloop init failed.");
            return -2;
        }
    }

    if (!ha_wq_create()) return -6;

    int subscribed = subscribe_wlan_events(_ctx);
    if (subscribed != 0) return subscribed;

    _registered = true;
    return 0;
}

void UbusAssistant::Deinit() {
    bool own = _OwnsConnection();
    if (own && !_EndLoopThread()) {
        // Removing the object or tearing the loop down now would race the loop thread.
        WLAN_LOG5("UbusAssistant::Deinit: uloop thread still busy, bus left as it is.");
    } else if (own) {
        if (_registered && _ctx != nullptr) {
            ubus_remove_object(_ctx, &wlan_object_test);
            wlan_errlog(WLAN_PRIO_WARN, "UbusAssistant::Deinit: wlan obj test removed from ubus.");
        }
        _loop_ctl->CloseWakePipe();
        uloop_done();
        wlan_errlog(WLAN_PRIO_WARN, "UbusAssistant::Deinit: uloop exits.");
    }

    ha_wq_destroy();
    static_ip_config_release();

    _registered = false;
    clear_shadow_pointers();
}
