// Stations joining and leaving the simulated AP.
#include "control/control.h"
#include "core/mac_text.h"
#include "core/stations.h"

namespace sim {
namespace {

int Associate(ControlCall& call, bool authorize) {
    if (call.args.empty()) return call.Fail("expected one or more MAC addresses");
    for (const std::string& mac : call.args) {
        std::string error;
        if (!AssociateStation(&call.state, mac, authorize, &error)) return call.Fail(error);
    }
    return 0;
}

}  // namespace

int AddStations(ControlCall& call) { return Associate(call, false); }

int AuthorizeStations(ControlCall& call) { return Associate(call, true); }

int RemoveStations(ControlCall& call) {
    if (call.args.empty()) return call.Fail("expected one or more MAC addresses");
    for (const std::string& mac : call.args)
        if (!DisassociateStation(&call.state, mac)) return call.Fail(mac + " is not associated");
    return 0;
}

int ClearStations(ControlCall& call) {
    if (!call.args.empty()) return call.Fail("too many arguments");
    call.state.stations.clear();
    return 0;
}

}  // namespace sim
