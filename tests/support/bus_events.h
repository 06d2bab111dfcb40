#ifndef WLAN_TESTS_BUS_EVENTS_H
#define WLAN_TESTS_BUS_EVENTS_H

#include <string>
#include <vector>

// Events broadcast with the `ubus send` command. The host `ubus` command appends each event to
// a log file as one line: the event type, a space, and the message as compact JSON
// (e.g. `wlan_event {"wlan_switch":"on"}`). Inside the sandbox the log starts empty.
namespace bus_events {

struct Event {
    std::string type;
    std::string json;
};

// Where the `ubus` command logs events.
const char* LogPath();

// The logged events, oldest first; empty when nothing was sent.
std::vector<Event> Read();

}  // namespace bus_events

#endif
