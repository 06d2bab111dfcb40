// Station lists, deauthentication and the MAC filter list.
#include "core/mac_text.h"
#include "core/stations.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

// One line per station: the list's keyword, a blank, the MAC.
int ListStations(Invocation& inv, bool authorized_only) {
    if (!inv.args.empty()) return TooManyArguments(inv);
    for (const Station& station : inv.state.stations)
        if (station.authorized || !authorized_only) inv.out += inv.name + " " + station.mac + "\n";
    return 0;
}

}  // namespace

int RunAssoclist(Invocation& inv) { return ListStations(inv, false); }

int RunAuthoStaList(Invocation& inv) { return ListStations(inv, true); }

// Without an address every station is sent away; a station that is not associated is no error.
int RunDeauthenticate(Invocation& inv) {
    if (inv.args.empty()) {
        inv.state.stations.clear();
        return 0;
    }
    if (inv.args.size() > 1) return TooManyArguments(inv);
    if (!IsMacText(inv.args[0])) return inv.Fail("'" + inv.args[0] + "' is not a MAC address");
    DisassociateStation(&inv.state, inv.args[0]);
    return 0;
}

// "mac" shows the filter list, "mac none" empties it, "mac MAC..." adds to it.
int RunMac(Invocation& inv) {
    if (inv.args.empty()) {
        for (const std::string& mac : inv.state.mac_list) inv.out += "mac " + mac + "\n";
        return 0;
    }
    if (inv.args.size() == 1 && inv.args[0] == "none") {
        inv.state.mac_list.clear();
        return 0;
    }
    for (const std::string& mac : inv.args)
        if (!IsMacText(mac)) return inv.Fail("'" + mac + "' is not a MAC address");
    for (const std::string& mac : inv.args)
        if (FindMac(inv.state.mac_list, mac) < 0) inv.state.mac_list.push_back(mac);
    return 0;
}

}  // namespace sim
