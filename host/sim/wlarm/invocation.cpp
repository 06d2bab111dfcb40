#include "wlarm/invocation.h"

#include "core/number_text.h"

namespace sim {

bool TakeBssIndex(Invocation& inv, std::vector<std::string>* rest, int* bss) {
    *bss = inv.bss;
    rest->clear();
    for (size_t i = 0; i < inv.args.size(); ++i) {
        if (inv.args[i] != "-C") {
            rest->push_back(inv.args[i]);
            continue;
        }
        long index = 0;
        if (i + 1 == inv.args.size() ||
            !ParseNumberInRange(inv.args[i + 1], 0, kBssCount - 1, &index)) {
            inv.error = "-C needs a BSS index from 0 to " + std::to_string(kBssCount - 1);
            return false;
        }
        if (index > 0 && inv.state.GetNumber("mbss", 0) != 1) {
            inv.error = "BSS " + std::to_string(index) + " needs mbss 1";
            return false;
        }
        *bss = static_cast<int>(index);
        ++i;
    }
    return true;
}

int TooManyArguments(Invocation& inv) { return inv.Fail("too many arguments"); }

int NeedsRadioDown(Invocation& inv) { return inv.Fail("not allowed while the radio is up"); }

int NeedsRadioUp(Invocation& inv) { return inv.Fail("the radio is down"); }

}  // namespace sim
