#ifndef WLAN_SIM_RUN_RESULT_H
#define WLAN_SIM_RUN_RESULT_H

#include <string>

namespace sim {

// What a simulated program prints and its exit status.
struct RunResult {
    int status = 0;
    std::string out;
    std::string err;
};

}  // namespace sim

#endif
