#ifndef WLAN_SIM_PATHS_H
#define WLAN_SIM_PATHS_H

// Where the simulated radio keeps its state. Separate invocations of wlarm and wlarm-sim share
// it; every read-change-write happens under the lock file.
namespace sim {

constexpr const char* kStateDir = "/var/run/wlarm";
constexpr const char* kStateFile = "/var/run/wlarm/state";
constexpr const char* kLockFile = "/var/run/wlarm/lock";
// One line per wlarm invocation, in the order they ran.
constexpr const char* kCallLog = "/var/run/wlarm/calls.log";
// What "escanresults" and "connectedinfo" print, loaded by wlarm-sim.
constexpr const char* kScanFixture = "/var/run/wlarm/escanresults";
constexpr const char* kConnectedFixture = "/var/run/wlarm/connectedinfo";
// When set, wlarm appends one line per failed command to the file it names (the start script
// uses this to see whether the radio script hit an error).
constexpr const char* kErrorLogVariable = "WLARM_SIM_ERRORS";

}  // namespace sim

#endif
