#ifndef WLAN_SIM_CHANNEL_SELECTION_H
#define WLAN_SIM_CHANNEL_SELECTION_H

#include <string>
#include <vector>

#include "core/chanspec.h"
#include "core/state.h"

namespace sim {

// Automatic channel selection as the radio runs it: "autochannel 1" starts a scan over the
// candidates; the following polls fail until the scan has run its course (the number of failing
// polls is set with wlarm-sim, default kDefaultSelectionPolls); then a poll succeeds and names
// the channel, and "autochannel 2" applies it.
constexpr long kDefaultSelectionPolls = 3;

// Starts a selection over the candidates (empty: every channel of the band).
void StartSelection(RadioState& state, const std::vector<Chanspec>& candidates);

// Taking the radio down ends a selection.
void AbortSelection(RadioState& state);

enum class PollResult { kNotStarted, kScanning, kChosen };
// One poll; with kChosen, *chosen is the selected channel.
PollResult PollSelection(RadioState& state, Chanspec* chosen);

// The channel to apply: the finished selection's, or one chosen now from the candidates.
Chanspec SelectedChannel(const RadioState& state);

// The operating channel (channel 1 before any was set).
Chanspec CurrentChannel(const RadioState& state);
void SetCurrentChannel(RadioState& state, const Chanspec& spec);

}  // namespace sim

#endif
