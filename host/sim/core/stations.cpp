#include "core/stations.h"

#include <algorithm>

#include "core/mac_text.h"

namespace sim {

constexpr long kDefaultAssociationLimit = 128;

long AssociationLimit(const RadioState& state) {
    long radio_limit = state.GetNumber("maxassoc", kDefaultAssociationLimit);
    long bss_limit =
        state.GetNumber(BssKey(ApBss(state), "bss_maxassoc"), kDefaultAssociationLimit);
    return std::min(radio_limit, bss_limit);
}

bool FilterAllows(const RadioState& state, const std::string& mac) {
    bool listed = FindMac(state.mac_list, mac) >= 0;
    switch (state.GetNumber("macmode", 0)) {
        case 1:
            return !listed;
        case 2:
            return listed;
        default:
            return true;
    }
}

int FindStation(const RadioState& state, const std::string& mac) {
    for (size_t i = 0; i < state.stations.size(); ++i)
        if (SameMac(state.stations[i].mac, mac)) return static_cast<int>(i);
    return -1;
}

bool AssociateStation(RadioState* state, const std::string& mac, bool authorize,
                      std::string* error) {
    if (!IsMacText(mac)) {
        *error = "'" + mac + "' is not a MAC address";
        return false;
    }
    int index = FindStation(*state, mac);
    if (index >= 0) {
        Station& station = state->stations[static_cast<size_t>(index)];
        if (!authorize) {
            *error = mac + " is already associated";
            return false;
        }
        if (station.authorized) {
            *error = mac + " is already authorised";
            return false;
        }
        station.authorized = true;
        return true;
    }
    if (!ApUp(*state)) {
        *error = "the AP is down";
        return false;
    }
    if (!FilterAllows(*state, mac)) {
        *error = "the MAC filter refuses " + mac;
        return false;
    }
    long limit = AssociationLimit(*state);
    if (static_cast<long>(state->stations.size()) >= limit) {
        *error = "the association limit " + std::to_string(limit) + " is reached";
        return false;
    }
    state->stations.push_back({mac, authorize});
    return true;
}

bool DisassociateStation(RadioState* state, const std::string& mac) {
    int index = FindStation(*state, mac);
    if (index < 0) return false;
    state->stations.erase(state->stations.begin() + index);
    return true;
}

}  // namespace sim
