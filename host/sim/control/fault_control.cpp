// Injected faults and the behaviour of automatic channel selection.
#include "control/control.h"
#include "core/chanspec.h"
#include "core/number_text.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

constexpr long kMaxCount = 1000000;

// "NAME [COUNT]": the fault lasts COUNT calls, or until cleared.
int InjectFault(ControlCall& call, FaultMode mode) {
    if (call.args.empty() || call.args.size() > 2) return call.Fail("expected NAME [COUNT]");
    const std::string& name = call.args[0];
    if (FindCommand(name) == nullptr) return call.Fail("wlarm has no subcommand '" + name + "'");
    Fault fault;
    fault.mode = mode;
    if (call.args.size() == 2 && !ParseNumberInRange(call.args[1], 1, kMaxCount, &fault.remaining))
        return call.Fail("COUNT must be a number from 1 to " + std::to_string(kMaxCount));
    call.state.faults[name] = fault;
    return 0;
}

}  // namespace

int FailCommand(ControlCall& call) { return InjectFault(call, FaultMode::kFail); }

int SilenceCommand(ControlCall& call) { return InjectFault(call, FaultMode::kSilent); }

int ClearFaults(ControlCall& call) {
    if (call.args.size() > 1) return call.Fail("expected [NAME]");
    if (call.args.empty())
        call.state.faults.clear();
    else
        call.state.faults.erase(call.args[0]);
    return 0;
}

int SetSelectionFailures(ControlCall& call) {
    long count = 0;
    if (call.args.size() != 1 || !ParseNumberInRange(call.args[0], 0, kMaxCount, &count))
        return call.Fail("expected a number of failing polls from 0 to " +
                         std::to_string(kMaxCount));
    call.state.SetNumber("sim.acs_failures", count);
    return 0;
}

int SetPreferredChannel(ControlCall& call) {
    Chanspec spec;
    if (call.args.size() != 1) return call.Fail("expected CHANNEL or none");
    if (call.args[0] == "none") {
        call.state.Erase("sim.acs_pick");
        return 0;
    }
    if (!ParseChanspec(call.args[0], &spec))
        return call.Fail("invalid channel '" + call.args[0] + "'");
    call.state.Set("sim.acs_pick", ChanspecName(spec));
    return 0;
}

}  // namespace sim
