// Subcommands that set or show one value: "wlarm NAME" prints it, "wlarm NAME VALUE" sets it.
#include <stdio.h>
#include <string.h>

#include "core/number_text.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

enum class Scope { kRadio, kBss };
enum class Kind { kNumber, kChoice, kRate };

struct SettingSpec {
    const char* name;
    Scope scope;
    Kind kind;
    long min;
    long max;
    const char* fallback;  // shown before the value was ever set
    bool needs_down;       // the radio refuses a change while it is up
    bool show_hex;
    const char* choices;  // kChoice: the accepted words, separated by '|'
};

// clang-format off
constexpr SettingSpec kSettings[] = {
    {"mbss",         Scope::kRadio, Kind::kNumber, 0, 1,      "0",    true,  false, nullptr},
    {"apsta",        Scope::kRadio, Kind::kNumber, 0, 1,      "0",    true,  false, nullptr},
    {"ap",           Scope::kRadio, Kind::kNumber, 0, 1,      "1",    false, false, nullptr},
    {"mpc",          Scope::kRadio, Kind::kNumber, 0, 1,      "1",    false, false, nullptr},
    {"spect",        Scope::kRadio, Kind::kNumber, 0, 2,      "0",    true,  false, nullptr},
    {"scansuppress", Scope::kRadio, Kind::kNumber, 0, 1,      "0",    false, false, nullptr},
    {"band",         Scope::kRadio, Kind::kChoice, 0, 0,      "auto", true,  false, "a|b|auto"},
    {"nmode",        Scope::kRadio, Kind::kNumber, -1, 1,     "-1",   true,  false, nullptr},
    {"gmode",        Scope::kRadio, Kind::kNumber, 0, 5,      "1",    true,  false, nullptr},
    {"nreqd",        Scope::kRadio, Kind::kNumber, 0, 1,      "0",    true,  false, nullptr},
    {"bg_rate",      Scope::kRadio, Kind::kRate,   0, 0,      "auto", false, false, nullptr},
    {"a_rate",       Scope::kRadio, Kind::kRate,   0, 0,      "auto", false, false, nullptr},
    {"sgi_tx",       Scope::kRadio, Kind::kNumber, -1, 1,     "-1",   false, false, nullptr},
    {"sgi_rx",       Scope::kRadio, Kind::kNumber, 0, 3,      "3",    false, false, nullptr},
    {"obss_coex",    Scope::kRadio, Kind::kNumber, -1, 1,     "-1",   false, false, nullptr},
    {"mimo_bw_cap",  Scope::kRadio, Kind::kNumber, 0, 2,      "0",    true,  false, nullptr},
    {"maxassoc",     Scope::kRadio, Kind::kNumber, 1, 128,    "128",  false, false, nullptr},
    {"dtim",         Scope::kRadio, Kind::kNumber, 1, 255,    "1",    false, false, nullptr},
    {"new_wme_show", Scope::kRadio, Kind::kNumber, 0, 1,      "0",    false, false, nullptr},
    {"macmode",      Scope::kRadio, Kind::kNumber, 0, 2,      "0",    false, false, nullptr},
    {"closed",       Scope::kBss,   Kind::kNumber, 0, 1,      "0",    false, false, nullptr},
    {"wsec",         Scope::kBss,   Kind::kNumber, 0, 0xff,   "0",    false, false, nullptr},
    {"auth",         Scope::kBss,   Kind::kNumber, 0, 3,      "0",    false, false, nullptr},
    {"sup_wpa",      Scope::kBss,   Kind::kNumber, 0, 1,      "0",    false, false, nullptr},
    {"wpa_auth",     Scope::kBss,   Kind::kNumber, 0, 0xffff, "0",    false, true,  nullptr},
    {"ap_isolate",   Scope::kBss,   Kind::kNumber, 0, 1,      "0",    false, false, nullptr},
    {"bss_maxassoc", Scope::kBss,   Kind::kNumber, 1, 128,    "128",  false, false, nullptr},
};
// clang-format on

const SettingSpec* FindSetting(const std::string& name) {
    for (const SettingSpec& spec : kSettings)
        if (name == spec.name) return &spec;
    return nullptr;
}

bool IsChoice(const char* choices, const std::string& word) {
    std::string list = std::string("|") + choices + "|";
    return !word.empty() && word.find('|') == std::string::npos &&
           list.find("|" + word + "|") != std::string::npos;
}

// "auto" or a rate in Mbit/s such as 11 or 5.5.
bool IsRate(const std::string& word) {
    if (word == "auto") return true;
    long whole = 0;
    size_t dot = word.find('.');
    if (dot == std::string::npos) return ParseNumberInRange(word, 1, 1000, &whole);
    return ParseNumberInRange(word.substr(0, dot), 0, 1000, &whole) && word.substr(dot) == ".5";
}

// Normalises a valid value for storage; false when the value is refused.
bool Accept(const SettingSpec& spec, const std::string& word, std::string* stored) {
    switch (spec.kind) {
        case Kind::kChoice:
            *stored = word;
            return IsChoice(spec.choices, word);
        case Kind::kRate:
            *stored = word;
            return IsRate(word);
        case Kind::kNumber: {
            long value = 0;
            if (!ParseNumberInRange(word, spec.min, spec.max, &value)) return false;
            *stored = std::to_string(value);
            return true;
        }
    }
    return false;
}

std::string Show(const SettingSpec& spec, const std::string& stored) {
    long value = 0;
    if (spec.kind != Kind::kNumber || !spec.show_hex || !ParseNumber(stored, &value)) return stored;
    char text[32];
    snprintf(text, sizeof(text), "0x%lx", value);
    return text;
}

}  // namespace

bool IsPlainSetting(const std::string& name) { return FindSetting(name) != nullptr; }

int RunSetting(Invocation& inv) {
    const SettingSpec* spec = FindSetting(inv.name);
    if (spec == nullptr) return inv.Fail("not a setting");
    std::string key = spec->scope == Scope::kBss ? BssKey(inv.bss, spec->name) : spec->name;
    if (inv.args.empty()) {
        inv.out += Show(*spec, inv.state.Get(key, spec->fallback)) + "\n";
        return 0;
    }
    if (inv.args.size() > 1) return TooManyArguments(inv);
    std::string stored;
    if (!Accept(*spec, inv.args[0], &stored))
        return inv.Fail("invalid value '" + inv.args[0] + "'");
    if (spec->needs_down && RadioUp(inv.state)) return NeedsRadioDown(inv);
    inv.state.Set(key, stored);
    return 0;
}

}  // namespace sim
