#include "wlarm/commands.h"

namespace sim {
namespace {

struct CommandEntry {
    const char* name;
    CommandHandler handler;
};

constexpr CommandEntry kCommands[] = {
    {"up", RunUp},
    {"down", RunDown},
    {"isup", RunIsUp},
    {"bss", RunBss},
    {"country", RunCountry},
    {"ssid", RunSsid},
    {"cur_etheraddr", RunCurEtheraddr},
    {"perm_etheraddr", RunPermEtheraddr},
    {"set_pmk", RunSetPmk},
    {"wme_ac", RunWmeAc},
    {"channel", RunChannel},
    {"chanspec", RunChanspec},
    {"autochannel", RunAutochannel},
    {"assoclist", RunAssoclist},
    {"autho_sta_list", RunAuthoStaList},
    {"deauthenticate", RunDeauthenticate},
    {"mac", RunMac},
    {"get_scan_status", RunGetScanStatus},
    {"escanresults", RunEscanresults},
    {"connectedinfo", RunConnectedinfo},
};

}  // namespace

CommandHandler FindCommand(const std::string& name) {
    for (const CommandEntry& entry : kCommands)
        if (name == entry.name) return entry.handler;
    return IsPlainSetting(name) ? RunSetting : nullptr;
}

}  // namespace sim
