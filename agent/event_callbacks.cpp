#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "agent/event_delivery.h"
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

bool goes_to_count_down_slot(ha_wlan_event_type type) {
    return type == HA_WLAN_EVT_AUTO_DOWN || type == HA_WLAN_EVT_WLAN_OFF;
}

bool has_text_payload(ha_wlan_event_type type) {
    return type == HA_WLAN_EVT_STA_NUM || type == HA_WLAN_EVT_WPS;
}

struct PendingEvent {
    ha_wlan_event_type type;
    void* data;        // integer payloads travel as the pointer's value
    bool copied_text;  // the payload is text, copied into text
    std::string text;
    bool owned;  // the raiser waits and delivers it itself
    std::thread::id raiser;
};

// The delivery state. g_mutex is taken before _evt_cb_mut and is never held while a callback
// runs; _evt_cb_mut guards the slots and is held only to read or write them.
std::mutex g_mutex;
std::condition_variable g_turn;  // the delivering role was given up, or the queue was emptied
std::deque<PendingEvent> g_queue;
bool g_delivering = false;
// _evt_cb_mut starts statically initialised; DeinitEventCb destroys it and InitEventCb makes it
// again. While it is destroyed nothing may lock it, so the registry then does nothing.
bool g_mutex_live = true;

thread_local bool t_never_waits = false;
thread_local bool t_delivering = false;
thread_local int t_defer_depth = 0;

void clear_slots_locked() {
    pthread_mutex_lock(&HostapdAgent::_evt_cb_mut);
    for (int slot = 0; slot < kSlotCount; ++slot) HostapdAgent::_evt_cbs[slot] = nullptr;
    pthread_mutex_unlock(&HostapdAgent::_evt_cb_mut);
}

// Calls one slot's callback, if set, with g_mutex released.
void call_slot(std::unique_lock<std::mutex>& lock, int slot, ha_wlan_event_type type,
               void* payload) {
    if (!g_mutex_live) return;
    pthread_mutex_lock(&HostapdAgent::_evt_cb_mut);
    ha_wlan_event_cb cb = HostapdAgent::_evt_cbs[slot];
    pthread_mutex_unlock(&HostapdAgent::_evt_cb_mut);
    if (cb == nullptr) return;
    lock.unlock();
    cb(type, payload);
    lock.lock();
}

void deliver(std::unique_lock<std::mutex>& lock, PendingEvent& event) {
    void* payload = event.copied_text ? &event.text[0] : event.data;
    if (goes_to_count_down_slot(event.type)) {
        call_slot(lock, kCountDownSlot, event.type, payload);
    } else {
        for (int slot = kFirstSlot; slot < kSlotCount; ++slot)
            call_slot(lock, slot, event.type, payload);
    }
}

bool owned_by_other(const PendingEvent& event, std::thread::id me) {
    return event.owned && event.raiser != me;
}

// Delivers queued events in order until the queue is empty or the next one is delivered by its
// own (waiting) raiser, then gives the delivering role up.
void drain(std::unique_lock<std::mutex>& lock) {
    const std::thread::id me = std::this_thread::get_id();
    g_delivering = true;
    t_delivering = true;
    while (g_mutex_live && !g_queue.empty() && !owned_by_other(g_queue.front(), me)) {
        PendingEvent event = std::move(g_queue.front());
        g_queue.pop_front();
        deliver(lock, event);
    }
    g_delivering = false;
    t_delivering = false;
    g_turn.notify_all();
}

bool owns_queued(std::thread::id me) {
    for (const PendingEvent& event : g_queue)
        if (event.owned && event.raiser == me) return true;
    return false;
}

// Delivers what is due after a raise on the calling thread (or the end of its deferral).
void settle(std::unique_lock<std::mutex>& lock) {
    // Inside a callback: the running delivery goes on with it once the callback returns.
    if (t_delivering) return;
    const std::thread::id me = std::this_thread::get_id();
    auto may_deliver = [me] {
        return !g_delivering && !g_queue.empty() && !owned_by_other(g_queue.front(), me);
    };
    if (t_never_waits) {
        if (may_deliver()) drain(lock);
        return;
    }
    while (owns_queued(me)) {
        if (may_deliver())
            drain(lock);
        else
            g_turn.wait(lock);
    }
}

}  // namespace

void event_raiser_never_waits() { t_never_waits = true; }

DeferredEventDelivery::DeferredEventDelivery() { ++t_defer_depth; }

DeferredEventDelivery::~DeferredEventDelivery() {
    if (--t_defer_depth > 0) return;
    std::unique_lock<std::mutex> lock(g_mutex);
    settle(lock);
}

int HostapdAgent::InitEventCb() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (_evt_cb_ok) return -1;
    if (!g_mutex_live) {
        int error = pthread_mutex_init(&_evt_cb_mut, nullptr);
        if (error != 0) return error;
        g_mutex_live = true;
    }
    _evt_cb_ok = true;
    clear_slots_locked();
    return 0;
}

int HostapdAgent::DeinitEventCb() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (_evt_cb_ok) {
        clear_slots_locked();
        // Events not delivered yet go nowhere; their waiting raisers return.
        g_queue.clear();
        g_mutex_live = false;
        pthread_mutex_destroy(&_evt_cb_mut);
        g_turn.notify_all();
    }
    _evt_cb_ok = false;
    return 0;
}

void HostapdAgent::ClearEventCbs() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_mutex_live) clear_slots_locked();
}

int HostapdAgent::RegisterEventCb(ha_wlan_event_cb cb) {
    std::lock_guard<std::mutex> lock(g_mutex);
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
    std::lock_guard<std::mutex> lock(g_mutex);
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
    std::unique_lock<std::mutex> lock(g_mutex);
    if (!g_mutex_live) return;
    PendingEvent event{type,          data,           false,
                       std::string(), !t_never_waits, std::this_thread::get_id()};
    // The text is valid only during the raise; a delivery after it returns uses the copy.
    if (has_text_payload(type) && data != nullptr) {
        event.copied_text = true;
        event.text = static_cast<const char*>(data);
    }
    g_queue.push_back(std::move(event));
    if (t_defer_depth == 0) settle(lock);
}

extern "C" WLAN_EXPORT int wlan_mgr_event_cb_reg(ha_wlan_event_cb cb) {
    return HostapdAgent::RegisterEventCb(cb);
}

extern "C" WLAN_EXPORT int wlan_mgr_event_cb_unreg(ha_wlan_event_cb cb) {
    return HostapdAgent::UnregisterEventCb(cb);
}
