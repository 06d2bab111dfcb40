// Radio and BSS power, and the regulatory country.
#include <ctype.h>

#include "core/number_text.h"
#include "wlarm/channel_selection.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

void DropStations(RadioState& state) { state.stations.clear(); }

// "US", "JP/0", "AR/21" or "ALL".
bool IsCountryText(const std::string& text) {
    if (text == "ALL") return true;
    if (text.size() < 2) return false;
    for (size_t i = 0; i < 2; ++i)
        if (!isalnum(static_cast<unsigned char>(text[i]))) return false;
    if (text.size() == 2) return true;
    long revision = 0;
    std::string rest = text.substr(3);
    return text[2] == '/' && !rest.empty() && isdigit(static_cast<unsigned char>(rest[0])) &&
           ParseNumberInRange(rest, 0, 999, &revision);
}

}  // namespace

int RunUp(Invocation& inv) {
    if (!inv.args.empty()) return TooManyArguments(inv);
    inv.state.SetNumber("up", 1);
    inv.state.SetNumber(BssKey(0, "up"), 1);
    return 0;
}

// Taking the radio down ends every association and any channel selection in progress.
int RunDown(Invocation& inv) {
    if (!inv.args.empty()) return TooManyArguments(inv);
    inv.state.SetNumber("up", 0);
    for (int bss = 0; bss < kBssCount; ++bss) inv.state.Erase(BssKey(bss, "up"));
    AbortSelection(inv.state);
    DropStations(inv.state);
    return 0;
}

int RunIsUp(Invocation& inv) {
    if (!inv.args.empty()) return TooManyArguments(inv);
    inv.out += RadioUp(inv.state) ? "1\n" : "0\n";
    return 0;
}

int RunBss(Invocation& inv) {
    std::vector<std::string> rest;
    int bss = 0;
    if (!TakeBssIndex(inv, &rest, &bss)) return 1;
    if (rest.empty()) {
        inv.out += BssUp(inv.state, bss) ? "up\n" : "down\n";
        return 0;
    }
    if (rest.size() > 1) return TooManyArguments(inv);
    if (rest[0] == "up") {
        if (!RadioUp(inv.state)) return NeedsRadioUp(inv);
        inv.state.SetNumber(BssKey(bss, "up"), 1);
        return 0;
    }
    if (rest[0] == "down") {
        inv.state.Erase(BssKey(bss, "up"));
        if (bss == ApBss(inv.state)) DropStations(inv.state);
        return 0;
    }
    return inv.Fail("expected up or down, not '" + rest[0] + "'");
}

int RunCountry(Invocation& inv) {
    if (inv.args.empty()) {
        inv.out += inv.state.Get("country", "US") + "\n";
        return 0;
    }
    if (inv.args.size() > 1) return TooManyArguments(inv);
    if (!IsCountryText(inv.args[0])) return inv.Fail("invalid country '" + inv.args[0] + "'");
    inv.state.Set("country", inv.args[0]);
    return 0;
}

}  // namespace sim
