#include <atomic>

#include "hostapd_agent.h"
#include "wlan_event.h"

// Slot 0 holds the count-down callback, slots 1 to 4 the registered ones.
bool HostapdAgent::_evt_cb_ok = false;
ha_wlan_event_cb HostapdAgent::_evt_cbs[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
pthread_mutex_t HostapdAgent::_evt_cb_mut = PTHREAD_MUTEX_INITIALIZER;

namespace {

constexpr int kCountDownSlot = 0;
constexpr int kFirstSlot = 1;
constexpr int kSlotCount = 5;

// The mutex starts statically initialised; DeinitEventCb destroys it and InitEventCb makes it
// again. While it is destroyed nothing may lock it, so the registry then does nothing.
std::atomic<bool> g_mutex_live{true};

bool goes_to_count_down_slot(ha_wlan_event_type type) {
    return type == HA_WLAN_EVT_AUTO_DOWN || type == HA_WLAN_EVT_WLAN_OFF;
}

}  // namespace

int HostapdAgent::InitEventCb() {
    if (_evt_cb_ok) return -1;
    if (!g_mutex_live) {
        int error = pthread_mutex_init(&_evt_cb_mut, nullptr);
        if (error != 0) return error;
        g_mutex_live = true;
    }
    _evt_cb_ok = true;
    ClearEventCbs();
    return 0;
}

int HostapdAgent::DeinitEventCb() {
    if (_evt_cb_ok) {
        ClearEventCbs();
        g_mutex_live = false;
        pthread_mutex_destroy(&_evt_cb_mut);
    }
    _evt_cb_ok = false;
    return 0;
}

void HostapdAgent::ClearEventCbs() {
    if (!g_mutex_live) return;
    pthread_mutex_lock(&_evt_cb_mut);
    for (int slot = 0; slot < kSlotCount; ++slot) _evt_cbs[slot] = nullptr;
    pthread_mutex_unlock(&_evt_cb_mut);
}

int HostapdAgent::RegisterEventCb(ha_wlan_event_cb cb) {
    if (cb == nullptr || !g_mutex_live) return -1;
    pthread_mutex_lock(&_evt_cb_mut);
    int result = -1;
    int free_slot = -1;
    bool already = false;
    for (int slot = kFirstSlot; slot < kSlotCount; ++slot) {
        if (_evt_cbs[slot] == cb) already = true;
        if (_evt_cbs[slot] == nullptr && free_slot < 0) free_slot = slot;
    }
    if (!already && free_slot >= 0) {
        _evt_cbs[free_slot] = cb;
        result = 0;
    }
    pthread_mutex_unlock(&_evt_cb_mut);
    return result;
}

int HostapdAgent::UnregisterEventCb(ha_wlan_event_cb cb) {
    if (!g_mutex_live) return -1;
    pthread_mutex_lock(&_evt_cb_mut);
    int result = -1;
    for (int slot = kFirstSlot; slot < kSlotCount; ++slot) {
        if (cb != nullptr && _evt_cbs[slot] == cb) {
            _evt_cbs[slot] = nullptr;
            result = 0;
            break;
        }
    }
    pthread_mutex_unlock(&_evt_cb_mut);
    return result;
}

void HostapdAgent::RegCountDownCb(ha_wlan_event_cb cb) { _evt_cbs[kCountDownSlot] = cb; }

void HostapdAgent::InvokeEventCbs(ha_wlan_event_type type, void* data) {
    if (!g_mutex_live) return;
    pthread_mutex_lock(&_evt_cb_mut);
    if (goes_to_count_down_slot(type)) {
        if (_evt_cbs[kCountDownSlot] != nullptr) _evt_cbs[kCountDownSlot](type, data);
    } else {
        for (int slot = kFirstSlot; slot < kSlotCount; ++slot)
            if (_evt_cbs[slot] != nullptr) _evt_cbs[slot](type, data);
    }
    pthread_mutex_unlock(&_evt_cb_mut);
}

extern "C" WLAN_EXPORT int wlan_mgr_event_cb_reg(ha_wlan_event_cb cb) {
    return HostapdAgent::RegisterEventCb(cb);
}

extern "C" WLAN_EXPORT int wlan_mgr_event_cb_unreg(ha_wlan_event_cb cb) {
    return HostapdAgent::UnregisterEventCb(cb);
}
