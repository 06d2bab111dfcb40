#ifndef WLAN_TESTS_AGENT_SUPPORT_H
#define WLAN_TESTS_AGENT_SUPPORT_H

#include <stdint.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/support/sandbox.h"
#include "wlan_event.h"

namespace agent_test {

// Writes the wlan.basic_setting idle times into /etc/config/wlan for the uci stand-in.
void WriteIdleTimes(const std::string& user_seconds, const std::string& system_seconds);

long MonotonicSeconds();

// A copy of the listed station with this MAC (any case), taken under the list mutex.
std::optional<StaListItem> FindStation(HostapdAgent& agent, const char* mac);

}  // namespace agent_test

// Records the events that reach the callbacks of a test. Callback<N> stands for the N-th
// distinct callback a host might install.
namespace recorder {

struct Event {
    int callback;
    ha_wlan_event_type type;
    std::string text;  // STA_NUM and WPS payloads, copied during the call
    intptr_t value;    // integer payloads
};

inline std::mutex g_mutex;
inline std::vector<Event> g_events;

inline void Clear() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_events.clear();
}

inline std::vector<Event> Events() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_events;
}

// "callback:type:payload " for every event, oldest first.
inline std::string Trace() {
    std::string trace;
    for (const Event& e : Events())
        trace += std::to_string(e.callback) + ":" + std::to_string(e.type) + ":" +
                 (e.text.empty() ? std::to_string(e.value) : e.text) + " ";
    return trace;
}

template <int N>
void Callback(ha_wlan_event_type type, void* data) {
    Event event{N, type, "", reinterpret_cast<intptr_t>(data)};
    if ((type == HA_WLAN_EVT_STA_NUM || type == HA_WLAN_EVT_WPS) && data != nullptr)
        event.text = static_cast<const char*>(data);
    std::lock_guard<std::mutex> guard(g_mutex);
    g_events.push_back(event);
}

}  // namespace recorder

// An agent in the sandbox with idle times 600 (user) and 300 (system) seconds, a recorder in
// place of `ip`, and recorder::Callback<1> as its one registered event callback.
class AgentTest : public SandboxTest {
protected:
    void Prepare() override;
    void TearDown() override;

    HostapdAgent* agent_ = nullptr;
};

#endif
