#include "tests/agent/event_recorder.h"

#include <mutex>

namespace recorder {
namespace {

std::mutex g_mutex;
std::vector<Event> g_events;

bool carries_text(ha_wlan_event_type type) {
    return type == HA_WLAN_EVT_STA_NUM || type == HA_WLAN_EVT_WPS;
}

}  // namespace

void Clear() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_events.clear();
}

std::vector<Event> Events() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_events;
}

std::vector<Event> EventsOf(int callback) {
    std::vector<Event> out;
    for (const Event& event : Events())
        if (event.callback == callback) out.push_back(event);
    return out;
}

void Record(int callback, ha_wlan_event_type type, void* data) {
    Event event{callback, type, "", reinterpret_cast<intptr_t>(data)};
    if (carries_text(type) && data != nullptr) event.text = static_cast<const char*>(data);
    std::lock_guard<std::mutex> guard(g_mutex);
    g_events.push_back(event);
}

}  // namespace recorder
