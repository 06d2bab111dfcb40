#ifndef WLAN_TESTS_AGENT_EVENT_RECORDER_H
#define WLAN_TESTS_AGENT_EVENT_RECORDER_H

#include <stdint.h>

#include <mutex>
#include <string>
#include <vector>

#include "wlan_event.h"

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

// Every recorded event, oldest first.
inline std::vector<Event> Events() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_events;
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

#endif
