#ifndef WLAN_SIM_RUN_H
#define WLAN_SIM_RUN_H

#include <string>
#include <vector>

#include "core/run_result.h"

namespace sim {

// Runs one wlarm command line ("[-i IFACE] SUBCOMMAND [ARGS...]", without the program name)
// against the shared state: lock, load, fault check, run, save.
RunResult RunWlarm(const std::vector<std::string>& args);

}  // namespace sim

#endif
