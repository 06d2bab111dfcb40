#ifndef WLAN_UBUS_SHADOW_AGENT_H
#define WLAN_UBUS_SHADOW_AGENT_H

class HostapdAgent;

// How the bus handlers and the queued jobs reach the agent. A handler keeps a ShadowAgentHold
// for as long as it uses the agent: get() is the agent of _shadow_agent, or null when there is
// none, and while the hold lives the agent's station list is not freed. The agent's destructor
// withdraws the agent before it frees the list (shadow_agent_withdraw): it waits for the holds
// in progress to end, and holds taken afterwards find no agent, which handlers answer as they
// answer a missing shadow agent.
class ShadowAgentHold {
public:
    ShadowAgentHold();
    ~ShadowAgentHold();
    ShadowAgentHold(const ShadowAgentHold&) = delete;
    ShadowAgentHold& operator=(const ShadowAgentHold&) = delete;

    HostapdAgent* get() const { return agent_; }

private:
    HostapdAgent* agent_;
};

// Clears _shadow_agent when it is this agent, once no hold is in progress.
void shadow_agent_withdraw(HostapdAgent* agent);

#endif
