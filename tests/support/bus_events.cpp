#include "tests/support/bus_events.h"

#include <fstream>

namespace bus_events {

// Must match the path in host/ubus/cli/ubus_command.cpp.
const char* LogPath() { return "/var/run/ubus_events.log"; }

std::vector<Event> Read() {
    std::vector<Event> events;
    std::ifstream log(LogPath());
    std::string line;
    while (std::getline(log, line)) {
        size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        events.push_back(Event{line.substr(0, space), line.substr(space + 1)});
    }
    return events;
}

}  // namespace bus_events
