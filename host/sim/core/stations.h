#ifndef WLAN_SIM_STATIONS_H
#define WLAN_SIM_STATIONS_H

#include <string>

#include "core/state.h"

namespace sim {

// How many stations the AP accepts: the lower of maxassoc and the serving BSS's bss_maxassoc.
long AssociationLimit(const RadioState& state);

// Whether the MAC filter lets this station associate (macmode 1 denies the listed ones,
// macmode 2 allows only the listed ones).
bool FilterAllows(const RadioState& state, const std::string& mac);

// Index of the station in the association list, or -1.
int FindStation(const RadioState& state, const std::string& mac);

// A station joins the AP as the radio would let it: the AP must be up, the filter must allow it
// and the limit must not be reached. With authorize, it also completes the key handshake (a
// station already associated is then only authorised). False with a reason otherwise.
bool AssociateStation(RadioState* state, const std::string& mac, bool authorize,
                      std::string* error);

// Removes the station; false when it is not associated.
bool DisassociateStation(RadioState* state, const std::string& mac);

}  // namespace sim

#endif
