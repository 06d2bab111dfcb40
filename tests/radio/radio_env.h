#ifndef WLAN_TESTS_RADIO_RADIO_ENV_H
#define WLAN_TESTS_RADIO_RADIO_ENV_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/conf_file.h"
#include "tests/support/sandbox.h"

// Helpers for starting the radio on the simulated device inside the sandbox.
namespace radio_env {

using Settings = ConfSettings;

// Writes /etc/hostapd.conf: a WPA2 (wpa 3) CCMP access point on fixed channel 6 without WPS
// or MAC filter, with the given keys replaced or added.
void WriteConf(const Settings& changes = {});

// Sets uci wlan.basic_setting.wisp_status through the uci command.
void SetStationMode(bool on);

// Runs the simulator's control command (wlarm-sim) with the arguments; true on success.
bool Sim(const std::string& args);

// Output of a wlarm command line run in the sandbox, e.g. Wlarm("isup").
std::string Wlarm(const std::string& args);

// Every wlarm invocation since the sandbox was reset, one line each.
std::vector<std::string> WlarmCalls();

// The wlarm invocations that start with the given subcommand.
std::vector<std::string> WlarmCallsOf(const std::string& subcommand);

// Polls the condition until it holds or timeout_ms has passed; returns its last value.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeout_ms = 10000);

// The lines of the WPS library stand-in's call record.
std::vector<std::string> WpsCalls();

}  // namespace radio_env

class HostapdAgent;

// An agent whose radio is started and stopped on the simulated device, with station mode off,
// a fresh WPS library stand-in and the agent handed to the coexistence code.
class RadioAgentTest : public SandboxTest {
protected:
    void SetUp() override;
    void TearDown() override;

    HostapdAgent* agent_ = nullptr;
};

#endif
