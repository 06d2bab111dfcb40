// The published agent and assistant of the bus side.
#include "ubus/shadow_agent.h"

#include <atomic>
#include <mutex>
#include <shared_mutex>

namespace {

// Valid from UbusAssistant::Init until Deinit; null otherwise.
std::atomic<HostapdAgent*> g_shadow_agent{nullptr};
std::atomic<UbusAssistant*> g_shadow_ua{nullptr};

// Shared by the holds of handlers and jobs, taken alone by the agent's withdrawal.
std::shared_mutex g_agent_holds;

}  // namespace

ShadowAgentHold::ShadowAgentHold() {
    g_agent_holds.lock_shared();
    agent_ = g_shadow_agent.load();
}

ShadowAgentHold::~ShadowAgentHold() { g_agent_holds.unlock_shared(); }

void shadow_agent_withdraw(HostapdAgent* agent) {
    std::lock_guard<std::shared_mutex> lock(g_agent_holds);
    HostapdAgent* expected = agent;
    g_shadow_agent.compare_exchange_strong(expected, nullptr);
}

UbusAssistant* shadow_ua() { return g_shadow_ua.load(); }

void set_shadow_pointers(HostapdAgent* agent, UbusAssistant* ua) {
    g_shadow_agent = agent;
    g_shadow_ua = ua;
}

void clear_shadow_pointers() {
    g_shadow_agent = nullptr;
    g_shadow_ua = nullptr;
}
