#ifndef WLAN_SIM_INVOCATION_H
#define WLAN_SIM_INVOCATION_H

#include <string>
#include <vector>

#include "core/state.h"

namespace sim {

// One wlarm subcommand being run: the state it may change, the BSS chosen by "-i", its
// arguments (after the subcommand's name) and what it prints.
struct Invocation {
    RadioState& state;
    int bss = 0;
    std::string name;
    std::vector<std::string> args;
    std::string out;
    std::string error;  // the reason of a failure, without the program's prefix
    // A failed "autochannel" poll: the script expects it while the radio is still choosing, so
    // it keeps its state change and is not reported as a script error.
    bool poll_not_ready = false;

    int Fail(const std::string& reason) {
        error = reason;
        return 1;
    }
};

using CommandHandler = int (*)(Invocation& inv);

// Splits "-C N" off a BSS command's arguments; the rest stay in order. Sets inv.error and
// returns false on a missing or invalid index or a BSS that does not exist.
bool TakeBssIndex(Invocation& inv, std::vector<std::string>* rest, int* bss);

// Common failures.
int TooManyArguments(Invocation& inv);
int NeedsRadioDown(Invocation& inv);
int NeedsRadioUp(Invocation& inv);

}  // namespace sim

#endif
