// Process-wide state of the bus side, and the guarded access to the work queue.
#include <mutex>
#include <shared_mutex>

#include "ubus/shadow_agent.h"
#include "ubus/ubus_shared.h"

std::atomic<HostapdAgent*> _shadow_agent{nullptr};
std::atomic<UbusAssistant*> _shadow_ua{nullptr};
blob_buf _reply_buf;
std::atomic<bool> _power_bank_on{false};
wq_t* _ha_wq = nullptr;

namespace {

// On a host connection the event callbacks stay subscribed after Deinit and may run on the
// host's loop thread while Deinit destroys the queue; the lock keeps a put off a dying queue.
std::mutex g_wq_mutex;

// Shared by the holds of handlers and jobs, taken alone by the agent's withdrawal.
std::shared_mutex g_agent_holds;

}  // namespace

ShadowAgentHold::ShadowAgentHold() {
    g_agent_holds.lock_shared();
    agent_ = _shadow_agent.load();
}

ShadowAgentHold::~ShadowAgentHold() { g_agent_holds.unlock_shared(); }

void shadow_agent_withdraw(HostapdAgent* agent) {
    std::lock_guard<std::shared_mutex> lock(g_agent_holds);
    HostapdAgent* expected = agent;
    _shadow_agent.compare_exchange_strong(expected, nullptr);
}

bool ha_wq_ready() {
    std::lock_guard<std::mutex> lock(g_wq_mutex);
    return _ha_wq != nullptr;
}

int ha_wq_put(wq_func_t job, void* argument, wq_func_t release, void* release_argument) {
    std::lock_guard<std::mutex> lock(g_wq_mutex);
    if (_ha_wq == nullptr) return -1;
    return put_work_to_wq(_ha_wq, job, argument, release, release_argument) == 0 ? 0 : -1;
}

bool ha_wq_create() {
    wq_t* queue = create_wq();
    std::lock_guard<std::mutex> lock(g_wq_mutex);
    _ha_wq = queue;
    return queue != nullptr;
}

void ha_wq_destroy() {
    wq_t* queue;
    {
        std::lock_guard<std::mutex> lock(g_wq_mutex);
        queue = _ha_wq;
        _ha_wq = nullptr;
    }
    // Outside the lock: a running job may still try to queue more work and must not block.
    // Deinit also runs after an Init that never created the queue; the platform library is
    // not promised to accept a null queue.
    if (queue != nullptr) destroy_wq(queue);
}
