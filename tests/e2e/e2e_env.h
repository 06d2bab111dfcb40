#ifndef WLAN_TESTS_E2E_ENV_H
#define WLAN_TESTS_E2E_ENV_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/sandbox/test_host.h"
#include "tests/support/conf_file.h"
#include "tests/support/device_sim.h"
#include "tests/support/sandbox.h"

// The simulated hotspot: the device's files in the sandbox, the simulated radio, the WPS library
// stand-in and the in-process bus, with a reference host running the agent.
namespace e2e {

using namespace device_sim;

constexpr const char* kSsid = "Hotspot-E2E";
constexpr const char* kPassphrase = "correct horse";
constexpr const char* kStationMac = "02:11:22:33:44:55";

// Long enough for a few poll cycles of the spy thread (2 s each) on a loaded machine.
constexpr unsigned kEventWaitMs = 15000;

// Writes /etc/hostapd.conf: a WPA2-PSK (CCMP) AP on 2.4 GHz with automatic channel selection,
// without WPS or MAC filter; changes replace or add keys.
void WriteApConfig(const ConfSettings& changes = {});

// Puts a wrapper script in front of the simulated radio: body runs first, with the arguments.
void WrapWlarm(const std::string& body);

// A station the DHCP server and the kernel know: an ARP entry on br0 and a lease line.
void AddNeighbour(const std::string& mac, const std::string& ip, const std::string& name);

// Values of key in the "wlan_event" broadcasts of the `ubus send` log, oldest first.
std::vector<std::string> Broadcasts(const std::string& key);

// Matches an event of the type with the integer payload.
inline std::function<bool(const test_host::HostEvent&)> Event(ha_wlan_event_type type, intptr_t v) {
    return [type, v](const test_host::HostEvent& e) { return e.type == type && e.value == v; };
}

}  // namespace e2e

// Sandbox with the device image in place (idle times 120 s and 600 s, station mode off), a fresh
// WPS stand-in and a recorder in place of wpa_supplicant. Tests change what they need, then make
// the host (MakeHost or StartAp).
class E2eTest : public SandboxTest {
protected:
    void Prepare() override;
    void TearDown() override;

    test_host::TestHost& MakeHost(const test_host::Options& options = test_host::Options());
    // Starts the AP through the host and waits for the spy thread's first count event.
    void StartAp();

    std::unique_ptr<test_host::TestHost> host_;
};

#endif
