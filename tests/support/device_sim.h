#ifndef WLAN_TESTS_DEVICE_SIM_H
#define WLAN_TESTS_DEVICE_SIM_H

#include <sstream>
#include <string>
#include <vector>

#include "host/sandbox/sandbox.h"

// The simulated radio in the sandbox: its control command, `wlarm` and the record of calls.
namespace device_sim {

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline std::string Chomp(std::string text) {
    return text.substr(0, text.find_last_not_of('\n') + 1);
}

// The simulator's control command (true on success), one of its state values, `wlarm ARGS`
// without the final line breaks.
inline bool Sim(const std::string& args) {
    return sandbox::Run("wlarm-sim " + args + " >/dev/null") == 0;
}
inline std::string SimGet(const std::string& key) {
    return Chomp(sandbox::Output("wlarm-sim get " + key + " 2>/dev/null"));
}
inline std::string Wlarm(const std::string& args) {
    return Chomp(sandbox::Output("wlarm " + args + " 2>/dev/null"));
}

// Every wlarm invocation since the sandbox was reset, or those of one subcommand.
inline std::vector<std::string> WlarmCalls() {
    return Lines(sandbox::ReadFile("/var/run/wlarm/calls.log"));
}
inline std::vector<std::string> WlarmCallsOf(const std::string& subcommand) {
    std::vector<std::string> found;
    for (const std::string& call : WlarmCalls())
        if (call == subcommand || call.compare(0, subcommand.size() + 1, subcommand + " ") == 0)
            found.push_back(call);
    return found;
}

}  // namespace device_sim

#endif
