// wlarm-sim: lets tests drive the simulated radio (stations, faults, fixtures).
#include <stdio.h>

#include "control/control.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::RunResult result = sim::RunControl(args);
    fwrite(result.out.data(), 1, result.out.size(), stdout);
    fwrite(result.err.data(), 1, result.err.size(), stderr);
    return result.status;
}
