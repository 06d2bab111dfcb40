#ifndef WLAN_SIM_CHANSPEC_H
#define WLAN_SIM_CHANSPEC_H

#include <string>
#include <vector>

namespace sim {

// A channel as the radio names it: the control channel, and for 40 MHz the side band of the
// control channel ('l' lower, 'u' upper); 0 for 20 MHz.
struct Chanspec {
    int channel = 0;
    char sideband = 0;
};

// "6", "36l", "11u": a valid 2.4 or 5 GHz channel with a side band that has a partner channel.
bool ParseChanspec(const std::string& text, Chanspec* spec);

bool Is2gChannel(int channel);
bool Is5gChannel(int channel);

// Whether a band setting ("a", "b" or "auto") admits the channel.
bool BandAllows(const std::string& band, const Chanspec& spec);

// "36l".
std::string ChanspecName(const Chanspec& spec);
// The radio's 16-bit encoding (band, bandwidth, side band, centre channel).
unsigned ChanspecCode(const Chanspec& spec);
// "36l (0xd826)", the layout of the chanspec query.
std::string FormatChanspec(const Chanspec& spec);

// A comma-separated list ("1,6,11," or "36l,40u,"; one trailing comma allowed). False with a
// reason on an empty list, an empty or invalid entry, or more than kMaxChannelList entries.
constexpr size_t kMaxChannelList = 64;
bool ParseChannelList(const std::string& text, std::vector<Chanspec>* list, std::string* error);

}  // namespace sim

#endif
