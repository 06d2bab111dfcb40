#ifndef WLANMGRD_OPTIONS_H
#define WLANMGRD_OPTIONS_H

#include <stdio.h>

#include <string>
#include <vector>

namespace wlanmgrd {

struct Options {
    // -f: stay in the foreground and log to standard error (as procd runs it).
    bool foreground = false;
    // -c PATH (repeatable): control sockets of hostapd / wpa_supplicant to monitor; their event
    // messages go to HostapdAgent::HandleMsg.
    std::vector<std::string> ctrl_paths;
    // -s SOCKET: connect to the bus there and give the connection to the agent, which then
    // serves wlan_object on it; otherwise the agent connects to /var/run/ubus.sock itself and
    // serves wlan_object_test.
    std::string socket;
    // -p FILE: where the background daemon writes its process id.
    std::string pid_file;
    bool help = false;
};

// Parses the command line. Returns false (with the reason in *error) on a usage error.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

void PrintUsage(FILE* out, const char* program);

}  // namespace wlanmgrd

#endif
