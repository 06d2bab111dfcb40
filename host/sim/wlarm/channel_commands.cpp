// The operating channel and automatic channel selection.
#include "core/chanspec.h"
#include "wlarm/channel_selection.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

// Sets the operating channel when the band admits it.
int ApplyChannel(Invocation& inv, const Chanspec& spec) {
    if (!BandAllows(inv.state.Get("band", "auto"), spec))
        return inv.Fail("channel " + ChanspecName(spec) + " is not in band " +
                        inv.state.Get("band", "auto"));
    SetCurrentChannel(inv.state, spec);
    return 0;
}

int StartAutochannel(Invocation& inv) {
    std::vector<Chanspec> candidates;
    if (inv.args.size() == 3 && inv.args[1] == "-c") {
        std::string error;
        if (!ParseChannelList(inv.args[2], &candidates, &error)) return inv.Fail(error);
        std::string band = inv.state.Get("band", "auto");
        for (const Chanspec& spec : candidates)
            if (!BandAllows(band, spec))
                return inv.Fail("channel " + ChanspecName(spec) + " is not in band " + band);
    } else if (inv.args.size() != 1) {
        return inv.Fail("expected: autochannel 1 [-c LIST]");
    }
    if (!RadioUp(inv.state)) return NeedsRadioUp(inv);
    StartSelection(inv.state, candidates);
    return 0;
}

// The poll keeps its state change even when it fails: each failing poll brings the selection
// closer to its end.
int PollAutochannel(Invocation& inv) {
    inv.poll_not_ready = true;
    if (!RadioUp(inv.state)) return NeedsRadioUp(inv);
    Chanspec chosen;
    switch (PollSelection(inv.state, &chosen)) {
        case PollResult::kNotStarted:
            return inv.Fail("no channel selection in progress");
        case PollResult::kScanning:
            return 1;  // quiet, like the radio while it is still scanning
        case PollResult::kChosen:
            inv.out += FormatChanspec(chosen) + "\n";
            return 0;
    }
    return 1;
}

}  // namespace

int RunChannel(Invocation& inv) {
    if (inv.args.empty()) {
        int channel = CurrentChannel(inv.state).channel;
        inv.out += "current mac channel\t" + std::to_string(channel) + "\n";
        inv.out += "target channel\t" + std::to_string(channel) + "\n";
        inv.out += "current scan channel\t0\n";
        return 0;
    }
    if (inv.args.size() > 1) return TooManyArguments(inv);
    Chanspec spec;
    if (!ParseChanspec(inv.args[0], &spec) || spec.sideband != 0)
        return inv.Fail("invalid channel '" + inv.args[0] + "'");
    return ApplyChannel(inv, spec);
}

int RunChanspec(Invocation& inv) {
    if (inv.args.empty()) {
        inv.out += FormatChanspec(CurrentChannel(inv.state)) + "\n";
        return 0;
    }
    if (inv.args.size() > 1) return TooManyArguments(inv);
    Chanspec spec;
    if (!ParseChanspec(inv.args[0], &spec))
        return inv.Fail("invalid chanspec '" + inv.args[0] + "'");
    return ApplyChannel(inv, spec);
}

// "autochannel": poll; "autochannel 1 [-c LIST]": start; "autochannel 2": apply the choice.
int RunAutochannel(Invocation& inv) {
    if (inv.args.empty()) return PollAutochannel(inv);
    if (inv.args[0] == "1") return StartAutochannel(inv);
    if (inv.args[0] == "2") {
        if (inv.args.size() > 1) return TooManyArguments(inv);
        if (!RadioUp(inv.state)) return NeedsRadioUp(inv);
        return ApplyChannel(inv, SelectedChannel(inv.state));
    }
    return inv.Fail("unknown mode '" + inv.args[0] + "'");
}

}  // namespace sim
