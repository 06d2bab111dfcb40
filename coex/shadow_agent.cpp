#include "coex/coex_state.h"
#include "hostapd_agent.h"
#include "util/log.h"

namespace {

std::atomic<HostapdAgent*> coex_shadow_agent{nullptr};

}  // namespace

HostapdAgent* coex_agent_or_log() {
    HostapdAgent* agent = coex_shadow_agent.load();
    if (agent == nullptr) WLAN_LOG5("LTE_COEX: shadow agent is NULL\n");
    return agent;
}

extern "C" {

WLAN_EXPORT void bcm_lte_coex_set_shadow_agent(HostapdAgent* agent) {
    coex_shadow_agent.store(agent);
}

WLAN_EXPORT void bcm_lte_coex_set_selected_channel(unsigned int channel) {
    WLAN_TRACE("LTE_COEX: Set AP operation channel: %d\n", static_cast<int>(channel));
    HostapdAgent* agent = coex_agent_or_log();
    if (agent == nullptr) return;
    coex_store(agent->lte_coex.ap_oper_chan, channel);
}

}  // extern "C"
