#ifndef WLAN_TESTS_AGENT_SUPPORT_H
#define WLAN_TESTS_AGENT_SUPPORT_H

#include <optional>
#include <string>

#include "hostapd_agent.h"
#include "tests/support/sandbox.h"

namespace agent_test {

// Writes the wlan.basic_setting idle times into /etc/config/wlan for the uci stand-in.
void WriteIdleTimes(const std::string& user_seconds, const std::string& system_seconds);

// Replaces a program in /usr/bin with a shell script that appends its arguments to
// /tmp/<name>.calls and exits with the status held in /tmp/<name>.status (0 when absent).
void InstallRecorder(const std::string& name);
std::string Calls(const std::string& name);

// Makes the platform start script fail, so that a radio start fails early.
void MakeRadioStartFail();

long MonotonicSeconds();

// A copy of the listed station with this MAC (any case), taken under the list mutex.
std::optional<StaListItem> FindStation(HostapdAgent& agent, const char* mac);

}  // namespace agent_test

// An agent in the sandbox with idle times 600 (user) and 300 (system) seconds, a recorder in
// place of `ip`, and recorder::Callback<1> as its one registered event callback.
class AgentTest : public SandboxTest {
protected:
    void SetUp() override;
    void TearDown() override;

    HostapdAgent* agent_ = nullptr;
};

#endif
