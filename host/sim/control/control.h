#ifndef WLAN_SIM_CONTROL_H
#define WLAN_SIM_CONTROL_H

#include <string>
#include <vector>

#include "core/run_result.h"
#include "core/state.h"

namespace sim {

// One wlarm-sim command: the state it may change, its arguments after the command's words, and
// what it prints. The state is saved only when the command succeeds.
struct ControlCall {
    RadioState& state;
    std::vector<std::string> args;
    std::string out;
    std::string error;

    int Fail(const std::string& reason) {
        error = reason;
        return 1;
    }
};

using ControlHandler = int (*)(ControlCall& call);

// Runs a wlarm-sim command line (without the program name) under the state lock.
RunResult RunControl(const std::vector<std::string>& args);

// Handlers, by concern.
int AddStations(ControlCall& call);
int AuthorizeStations(ControlCall& call);
int RemoveStations(ControlCall& call);
int ClearStations(ControlCall& call);

int FailCommand(ControlCall& call);
int SilenceCommand(ControlCall& call);
int ClearFaults(ControlCall& call);
int SetSelectionFailures(ControlCall& call);
int SetPreferredChannel(ControlCall& call);

int LoadScanResults(ControlCall& call);
int ClearScanResults(ControlCall& call);
int SetScanStatus(ControlCall& call);
int LoadConnectedInfo(ControlCall& call);
int ClearConnectedInfo(ControlCall& call);

int ShowSetting(ControlCall& call);
int ShowState(ControlCall& call);
int ResetState(ControlCall& call);

}  // namespace sim

#endif
