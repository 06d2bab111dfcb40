#ifndef WLAN_UBUS_SHADOW_AGENT_H
#define WLAN_UBUS_SHADOW_AGENT_H

class HostapdAgent;
class UbusAssistant;

// The process-wide agent and assistant through which the bus handlers, the event callbacks and
// the queued jobs reach the library. UbusAssistant::Init publishes both, Deinit clears both.

// How the agent is reached. A handler keeps a ShadowAgentHold for as long as it uses the agent:
// get() is the published agent, or null when there is none, and while the hold lives the
// agent's station list is not freed. The agent's destructor withdraws the agent before it frees
// the list (shadow_agent_withdraw): it waits for the holds in progress to end, and holds taken
// afterwards find no agent, which handlers answer as they answer a missing agent. A thread keeps
// at most one hold at a time.
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

// Clears the published agent when it is this agent, once no hold is in progress.
void shadow_agent_withdraw(HostapdAgent* agent);

// The published assistant: handlers reply on its connection. Null when there is none.
UbusAssistant* shadow_ua();

// Publishes the agent and its assistant (Init), and clears both (Deinit).
void set_shadow_pointers(HostapdAgent* agent, UbusAssistant* ua);
void clear_shadow_pointers();

#endif
