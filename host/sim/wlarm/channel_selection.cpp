#include "wlarm/channel_selection.h"

namespace sim {
namespace {

constexpr const char* kStateKey = "acs.state";
constexpr const char* kCandidatesKey = "acs.candidates";
constexpr const char* kPollsLeftKey = "acs.polls_left";
constexpr const char* kChosenKey = "acs.chosen";
// Set by wlarm-sim.
constexpr const char* kPollsKey = "sim.acs_failures";
constexpr const char* kPreferredKey = "sim.acs_pick";

std::string ListText(const std::vector<Chanspec>& list) {
    std::string text;
    for (const Chanspec& spec : list) text += ChanspecName(spec) + ",";
    return text;
}

std::vector<Chanspec> Candidates(const RadioState& state) {
    std::vector<Chanspec> list;
    std::string error;
    std::string text = state.Get(kCandidatesKey);
    if (!text.empty()) ParseChannelList(text, &list, &error);
    return list;
}

Chanspec DefaultChannel(const RadioState& state) {
    Chanspec spec;
    spec.channel = state.Get("band", "auto") == "a" ? 36 : 6;
    return spec;
}

// The preferred channel (wlarm-sim) when it is a candidate or, without candidates, when the band
// admits it; else the first candidate; else the band's default.
Chanspec Choose(const RadioState& state) {
    std::vector<Chanspec> candidates = Candidates(state);
    Chanspec preferred;
    bool has_preferred = ParseChanspec(state.Get(kPreferredKey), &preferred);
    if (has_preferred) {
        for (const Chanspec& spec : candidates)
            if (spec.channel == preferred.channel) return spec;
        if (candidates.empty() && BandAllows(state.Get("band", "auto"), preferred))
            return preferred;
    }
    return candidates.empty() ? DefaultChannel(state) : candidates.front();
}

}  // namespace

void StartSelection(RadioState& state, const std::vector<Chanspec>& candidates) {
    state.Set(kStateKey, "scanning");
    state.Set(kCandidatesKey, ListText(candidates));
    state.SetNumber(kPollsLeftKey, state.GetNumber(kPollsKey, kDefaultSelectionPolls));
    state.Erase(kChosenKey);
}

void AbortSelection(RadioState& state) { state.Erase(kStateKey); }

PollResult PollSelection(RadioState& state, Chanspec* chosen) {
    std::string phase = state.Get(kStateKey);
    if (phase == "chosen" && ParseChanspec(state.Get(kChosenKey), chosen))
        return PollResult::kChosen;
    if (phase != "scanning") return PollResult::kNotStarted;
    long left = state.GetNumber(kPollsLeftKey, 0);
    if (left > 0) {
        state.SetNumber(kPollsLeftKey, left - 1);
        return PollResult::kScanning;
    }
    *chosen = Choose(state);
    state.Set(kStateKey, "chosen");
    state.Set(kChosenKey, ChanspecName(*chosen));
    return PollResult::kChosen;
}

Chanspec SelectedChannel(const RadioState& state) {
    Chanspec chosen;
    if (state.Get(kStateKey) == "chosen" && ParseChanspec(state.Get(kChosenKey), &chosen))
        return chosen;
    return Choose(state);
}

Chanspec CurrentChannel(const RadioState& state) {
    Chanspec spec;
    if (!ParseChanspec(state.Get("chanspec"), &spec)) spec.channel = 1;
    return spec;
}

void SetCurrentChannel(RadioState& state, const Chanspec& spec) {
    state.Set("chanspec", ChanspecName(spec));
}

}  // namespace sim
