#ifndef WLAN_TESTS_E2E_ENV_H
#define WLAN_TESTS_E2E_ENV_H

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/conf_file.h"
#include "tests/support/sandbox.h"
#include "tests/support/test_host.h"

// The simulated hotspot for end-to-end tests: the device's files in the sandbox, the simulated
// radio, the WPS library stand-in and the in-process bus, with a reference host running the
// agent.
namespace e2e {

using Settings = ConfSettings;

constexpr const char* kSsid = "Hotspot-E2E";
constexpr const char* kPassphrase = "correct horse";
constexpr const char* kStationMac = "02:11:22:33:44:55";

// Long enough for a few poll cycles of the spy thread (2 s each) on a loaded machine.
constexpr unsigned kEventWaitMs = 15000;

// Writes /etc/hostapd.conf: a WPA2-PSK (CCMP) AP on 2.4 GHz with automatic channel selection,
// without WPS or MAC filter; changes replace or add keys.
void WriteApConfig(const Settings& changes = {});
// The uci section wlan.basic_setting: idle times (seconds) and station mode.
void WriteWlanSettings(const std::string& idle_seconds, const std::string& system_idle_seconds,
                       bool station_mode = false);

// The simulator's control command; true on success. SimGet reads one state value.
bool Sim(const std::string& args);
std::string SimGet(const std::string& key);
// Output of `wlarm ARGS`, without the final line break.
std::string Wlarm(const std::string& args);
// Every wlarm invocation so far whose arguments start with the subcommand.
std::vector<std::string> WlarmCallsOf(const std::string& subcommand);

// A station the DHCP server and the kernel know: an ARP entry on br0 and a lease line.
void AddNeighbour(const std::string& mac, const std::string& ip, const std::string& name);

// Values of key in the "wlan_event" broadcasts of the `ubus send` log, oldest first.
std::vector<std::string> Broadcasts(const std::string& key);

// Matches an event of the type with the integer payload.
std::function<bool(const test_host::HostEvent&)> Event(ha_wlan_event_type type, intptr_t value);

// Threads of this process.
int ThreadCount();

}  // namespace e2e

// Sandbox with the device image in place (WPA2 AP configuration, idle times 120 s / 600 s,
// station mode off), a fresh WPS stand-in and a recorder in place of wpa_supplicant. Tests
// make their host with MakeHost after changing what they need.
class E2eTest : public SandboxTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the host (and its agent); fails the test when the host is not ready.
    test_host::TestHost& MakeHost(const test_host::Options& options = test_host::Options());
    // Starts the AP through the host and waits for the spy thread's first count broadcast.
    void StartAp();

    std::unique_ptr<test_host::TestHost> host_;
};

#endif
