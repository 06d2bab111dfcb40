#ifndef WLAN_TESTS_AGENT_EVENT_RECORDER_H
#define WLAN_TESTS_AGENT_EVENT_RECORDER_H

#include <stdint.h>

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

void Clear();
std::vector<Event> Events();
std::vector<Event> EventsOf(int callback);
void Record(int callback, ha_wlan_event_type type, void* data);

template <int N>
void Callback(ha_wlan_event_type type, void* data) {
    Record(N, type, data);
}

}  // namespace recorder

#endif
