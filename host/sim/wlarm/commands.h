#ifndef WLAN_SIM_COMMANDS_H
#define WLAN_SIM_COMMANDS_H

#include <string>

#include "wlarm/invocation.h"

namespace sim {

// The handler of a wlarm subcommand, or null when wlarm does not know it.
CommandHandler FindCommand(const std::string& name);

// Handlers, by concern.
bool IsPlainSetting(const std::string& name);
int RunSetting(Invocation& inv);  // any plain setting: shows or sets its value

int RunUp(Invocation& inv);
int RunDown(Invocation& inv);
int RunIsUp(Invocation& inv);
int RunBss(Invocation& inv);
int RunCountry(Invocation& inv);

int RunSsid(Invocation& inv);
int RunCurEtheraddr(Invocation& inv);
int RunPermEtheraddr(Invocation& inv);
int RunSetPmk(Invocation& inv);
int RunWmeAc(Invocation& inv);

int RunChannel(Invocation& inv);
int RunChanspec(Invocation& inv);
int RunAutochannel(Invocation& inv);

int RunAssoclist(Invocation& inv);
int RunAuthoStaList(Invocation& inv);
int RunDeauthenticate(Invocation& inv);
int RunMac(Invocation& inv);

int RunGetScanStatus(Invocation& inv);
int RunEscanresults(Invocation& inv);
int RunConnectedinfo(Invocation& inv);

}  // namespace sim

#endif
