#ifndef WLAN_HOST_BUS_EVENTS_H
#define WLAN_HOST_BUS_EVENTS_H

#include <fstream>
#include <string>
#include <vector>

// Events broadcast with `ubus send`. The host `ubus` command appends each to
// /var/run/ubus_events.log as one line: the type, a space, the message as compact JSON
// (`wlan_event {"wlan_switch":"on"}`). The sandbox starts it empty.
namespace bus_events {

struct Event {
    std::string type;
    std::string json;
};

// The logged events, oldest first.
inline std::vector<Event> Read() {
    std::vector<Event> events;
    std::ifstream log("/var/run/ubus_events.log");
    for (std::string line; std::getline(log, line);) {
        size_t space = line.find(' ');
        if (space != std::string::npos)
            events.push_back(Event{line.substr(0, space), line.substr(space + 1)});
    }
    return events;
}

}  // namespace bus_events

#endif
