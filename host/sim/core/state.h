#ifndef WLAN_SIM_STATE_H
#define WLAN_SIM_STATE_H

#include <map>
#include <string>
#include <vector>

namespace sim {

struct Station {
    std::string mac;  // as the test gave it
    bool authorized = false;
};

enum class FaultMode { kFail, kSilent };

// A fault injected into one wlarm subcommand.
struct Fault {
    FaultMode mode = FaultMode::kFail;
    long remaining = -1;  // calls left; negative: until cleared
};

// Everything the simulated radio remembers between invocations. Settings are named by the
// subcommand that sets them; per-BSS settings carry a "bssN." prefix (see BssKey).
class RadioState {
public:
    std::string Get(const std::string& key, const std::string& fallback = "") const;
    long GetNumber(const std::string& key, long fallback) const;
    bool Has(const std::string& key) const { return settings_.count(key) != 0; }
    void Set(const std::string& key, const std::string& value) { settings_[key] = value; }
    void SetNumber(const std::string& key, long value);
    void Erase(const std::string& key) { settings_.erase(key); }
    const std::map<std::string, std::string>& settings() const { return settings_; }

    std::vector<Station> stations;         // in order of association
    std::vector<std::string> mac_list;     // the MAC filter list
    std::map<std::string, Fault> faults;   // by subcommand name
    std::vector<std::string> scan_status;  // answers of get_scan_status; the last one stays

    // Line-based text form of the state file; Parse ignores lines it does not know.
    std::string Serialize() const;
    static RadioState Parse(const std::string& text);

private:
    std::map<std::string, std::string> settings_;
};

// BSS 0 is the primary one ("eth0"); BSS 1 to 7 exist with mbss 1 ("wl0.1" ...).
constexpr int kBssCount = 8;

// Key of a per-BSS setting: "bss1.ssid".
std::string BssKey(int bss, const std::string& name);

// The BSS that serves stations: 1 in AP-plus-station mode, else the primary one.
int ApBss(const RadioState& state);
bool RadioUp(const RadioState& state);
bool BssUp(const RadioState& state, int bss);
// The radio is up and so is the BSS that serves stations.
bool ApUp(const RadioState& state);

}  // namespace sim

#endif
