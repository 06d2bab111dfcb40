// Per-BSS identity and security: SSID, MAC address, WPA key, WME parameters.
#include <ctype.h>
#include <stdio.h>

#include "core/mac_text.h"
#include "core/number_text.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

constexpr size_t kMaxSsidLength = 32;
constexpr const char* kPermanentAddress = "02:90:4C:0A:00:01";

// 8 to 63 printable ASCII characters, or 64 hexadecimal digits.
bool IsWpaKey(const std::string& key) {
    bool all_hex = true, all_printable = true;
    for (char c : key) {
        unsigned char u = static_cast<unsigned char>(c);
        all_hex = all_hex && isxdigit(u);
        all_printable = all_printable && u >= 0x20 && u <= 0x7e;
    }
    if (key.size() == 64) return all_hex;
    return key.size() >= 8 && key.size() <= 63 && all_printable;
}

// The permanent address of a BSS: the radio's own for BSS 0, the last octet varied for others.
std::string PermanentAddress(int bss) {
    std::string mac = kPermanentAddress;
    if (bss == 0) return mac;
    unsigned last = 0;
    sscanf(mac.c_str() + 15, "%2x", &last);
    char octet[3];
    snprintf(octet, sizeof(octet), "%02X", (last + static_cast<unsigned>(bss)) & 0xffu);
    return mac.substr(0, 15) + octet;
}

bool IsAccessCategory(const std::string& word) {
    return word == "be" || word == "bk" || word == "vi" || word == "vo";
}

// Limits of a WME parameter, or false for an unknown name.
bool WmeParameterRange(const std::string& name, long* min, long* max) {
    if (name == "aifsn") {
        *min = 1, *max = 15;
    } else if (name == "ecwmin" || name == "ecwmax") {
        *min = 0, *max = 15;
    } else if (name == "txop") {
        *min = 0, *max = 65535;
    } else if (name == "acm") {
        *min = 0, *max = 1;
    } else {
        return false;
    }
    return true;
}

}  // namespace

int RunSsid(Invocation& inv) {
    std::vector<std::string> rest;
    int bss = 0;
    if (!TakeBssIndex(inv, &rest, &bss)) return 1;
    std::string key = BssKey(bss, "ssid");
    if (rest.empty()) {
        inv.out += "Current SSID: \"" + inv.state.Get(key) + "\"\n";
        return 0;
    }
    if (rest.size() > 1) return TooManyArguments(inv);
    if (rest[0].size() > kMaxSsidLength)
        return inv.Fail("SSID longer than " + std::to_string(kMaxSsidLength) + " bytes");
    inv.state.Set(key, rest[0]);
    return 0;
}

int RunCurEtheraddr(Invocation& inv) {
    std::string key = BssKey(inv.bss, "cur_etheraddr");
    if (inv.args.empty()) {
        inv.out += inv.state.Get(key, PermanentAddress(inv.bss)) + "\n";
        return 0;
    }
    if (inv.args.size() > 1) return TooManyArguments(inv);
    if (!IsMacText(inv.args[0])) return inv.Fail("'" + inv.args[0] + "' is not a MAC address");
    if (RadioUp(inv.state)) return NeedsRadioDown(inv);
    inv.state.Set(key, inv.args[0]);
    return 0;
}

int RunPermEtheraddr(Invocation& inv) {
    if (!inv.args.empty()) return TooManyArguments(inv);
    inv.out += PermanentAddress(inv.bss) + "\n";
    return 0;
}

int RunSetPmk(Invocation& inv) {
    if (inv.args.empty()) return inv.Fail("missing key");
    if (inv.args.size() > 1) return TooManyArguments(inv);
    if (!IsWpaKey(inv.args[0]))
        return inv.Fail("the key must be 8 to 63 printable characters or 64 hex digits");
    inv.state.Set(BssKey(inv.bss, "pmk"), inv.args[0]);
    return 0;
}

// "wme_ac ap|sta" shows the parameters; "wme_ac ap|sta be|bk|vi|vo NAME VALUE ..." sets them.
int RunWmeAc(Invocation& inv) {
    const std::vector<std::string>& a = inv.args;
    if (a.empty() || (a[0] != "ap" && a[0] != "sta")) return inv.Fail("expected ap or sta");
    std::string prefix = "wme_ac." + a[0] + ".";
    if (a.size() == 1) {
        for (const auto& [key, value] : inv.state.settings())
            if (key.compare(0, prefix.size(), prefix) == 0)
                inv.out += key.substr(prefix.size()) + " " + value + "\n";
        return 0;
    }
    if (!IsAccessCategory(a[1])) return inv.Fail("unknown access category '" + a[1] + "'");
    if (a.size() == 2 || a.size() % 2 != 0) return inv.Fail("expected parameter and value pairs");
    for (size_t i = 2; i < a.size(); i += 2) {
        long min = 0, max = 0, value = 0;
        if (!WmeParameterRange(a[i], &min, &max))
            return inv.Fail("unknown parameter '" + a[i] + "'");
        if (!ParseNumberInRange(a[i + 1], min, max, &value))
            return inv.Fail("invalid " + a[i] + " '" + a[i + 1] + "'");
        inv.state.SetNumber(prefix + a[1] + "." + a[i], value);  // undone if a later pair fails
    }
    return 0;
}

}  // namespace sim
