// wlarm: the simulated Broadcom radio utility.
#include <stdio.h>

#include "wlarm/run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::RunResult result = sim::RunWlarm(args);
    fwrite(result.out.data(), 1, result.out.size(), stdout);
    fwrite(result.err.data(), 1, result.err.size(), stderr);
    return result.status;
}
