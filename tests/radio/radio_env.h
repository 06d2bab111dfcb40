#ifndef WLAN_TESTS_RADIO_RADIO_ENV_H
#define WLAN_TESTS_RADIO_RADIO_ENV_H

#include <gtest/gtest.h>
#include <string.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/conf_file.h"
#include "tests/support/device_sim.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "wlan_radio.h"
#include "wlanmgr.h"

// Helpers for starting the radio on the simulated device inside the sandbox.
namespace radio_env {

using namespace device_sim;

// Writes /etc/hostapd.conf: kWpa2ApConf with the given keys replaced or added.
inline void WriteConf(const ConfSettings& changes = {}) {
    WriteConfFile("/etc/hostapd.conf", kWpa2ApConf, changes);
}

// Station mode is uci wlan.basic_setting.wisp_status.
void SetStationMode(bool on);

// The WPS library stand-in's call record.
std::vector<std::string> WpsCalls();

}  // namespace radio_env

// An agent whose radio is started and stopped on the simulated device, with station mode off,
// a fresh WPS library stand-in and the agent handed to the coexistence code.
class RadioAgentTest : public SandboxTest {
protected:
    void Prepare() override;
    void TearDown() override;

    HostapdAgent* agent_ = nullptr;
};

// An in-memory configuration record with its extra lines and MAC list. Defaults: a WPA2 CCMP
// 11bgn access point on 2.4 GHz in the United States with automatic channel selection 1.
class TestBss {
public:
    TestBss() {
        memset(&_bss, 0, sizeof(_bss));
        Set(_bss.ssid, "HomeAP");
        Set(_bss.country, "US");
        _bss.wmode = 5;
        _bss.auto_chan_select = 1;
        Set(_bss.ht_capab, "[SHORT-GI-20]");
        _bss.wpa = 2;
        Set(_bss.wpa_pairwise, "CCMP");
        Set(_bss.wpa_passphrase, "secret123");
    }
    wlan_mgr_bss_config* operator->() { return &_bss; }

    template <size_t N>
    static void Set(char (&field)[N], const std::string& text) {
        ASSERT_LT(text.size(), N);
        memset(field, 0, N);
        memcpy(field, text.data(), text.size());
    }
    void AddExtra(const std::string& line) {
        _extra.resize(_extra.size() + WLAN_MGR_EXTRA_CONF_SLOT, '\0');
        memcpy(&_extra[_extra.size() - WLAN_MGR_EXTRA_CONF_SLOT], line.data(),
               std::min(line.size(), size_t{WLAN_MGR_EXTRA_CONF_SLOT - 1}));
    }
    void AddMac(const std::string& mac) {
        wlan_mgr_mac_entry entry;
        memset(&entry, 0, sizeof(entry));
        memcpy(entry.mac, mac.data(), std::min(mac.size(), sizeof(entry.mac) - 1));
        _macs.push_back(entry);
    }
    wlan_mgr_bss_config* get() {
        _bss.extra_conf = _extra.empty()
                              ? nullptr
                              : reinterpret_cast<char(*)[WLAN_MGR_EXTRA_CONF_SLOT]>(_extra.data());
        _bss.num_extra_conf = static_cast<int32_t>(_extra.size() / WLAN_MGR_EXTRA_CONF_SLOT);
        _bss.accept_mac = _macs.empty() ? nullptr : _macs.data();
        _bss.num_accept_mac = static_cast<int32_t>(_macs.size());
        return &_bss;
    }

private:
    wlan_mgr_bss_config _bss;
    std::vector<char> _extra;
    std::vector<wlan_mgr_mac_entry> _macs;
};

constexpr const char* kApScript = "/usr/bin/bcmApSet.sh";
constexpr const char* kApStaScript = "/usr/bin/bcmApStaSet.sh";

inline std::string GenerateAp(TestBss& bss) {
    EXPECT_EQ(wlan_mgr_conf_to_wl_sh(bss.get(), kApScript), 0);
    return sandbox::ReadFile(kApScript);
}

// The plain auto-channel block, as both scripts write it when every candidate is allowed.
inline const std::string kAcsPlainBlock =
    "\n${WL} down\n${WL} spect 0\n${WL} ssid \"\"\n${WL} scansuppress 0\n${WL} up\n"
    "\n${WL} autochannel 1\n${WL} channel\n"
    "\n${WL} autochannel\nrc=$?\n"
    "while [ $rc -ne 0 ]; do\n\tusleep 100000\n\t${WL} autochannel\n\trc=$?\ndone\n\n"
    "${WL} autochannel 2\n${WL} channel\n${WL} down\n${WL} spect 1\n";

// The text between the first line equal to from (excluded) and the next line starting with to.
inline std::string Section(const std::string& script, const std::string& from,
                           const std::string& to) {
    size_t start = script.find(from);
    if (start == std::string::npos) return "<no " + from + ">";
    start += from.size();
    size_t end = script.find(to, start);
    return script.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

inline bool HasLevel5(const std::string& text) { return logcap::Has(logcap::Level5(), text); }

// Script tests run with an agent whose coexistence state is fresh (no LTE restriction known),
// as after the host handed it over.
class RadioScriptTest : public SandboxTest {
protected:
    void Prepare() override {
        agent.reset(new HostapdAgent());
        bcm_lte_coex_set_shadow_agent(agent.get());
    }
    void TearDown() override {
        bcm_lte_coex_set_shadow_agent(nullptr);
        agent.reset();
    }
    std::unique_ptr<HostapdAgent> agent;
};

#endif
