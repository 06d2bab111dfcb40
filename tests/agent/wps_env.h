#ifndef WLAN_TESTS_AGENT_WPS_ENV_H
#define WLAN_TESTS_AGENT_WPS_ENV_H

#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/agent/event_recorder.h"
#include "tests/radio/radio_env.h"
#include "tests/support/sandbox.h"
#include "wpscli_test.h"

// An agent in the sandbox with recorder::Callback<1> registered and a fresh WPS library
// stand-in. TearDown disables WPS, which returns only once the worker thread has ended.
class WpsAgentTest : public SandboxTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Requests a session for the PIN from the running worker; returns once the session has been
    // reported and closed (false when that did not happen in time).
    bool RunSession(const char* pin);
    // Makes the session's exchange wait until it is aborted.
    static void HoldExchangeUntilAbort();
    // True once the worker has entered the exchange of its first session.
    static bool ExchangeStarted();
    // The recorded library calls from the index-th one on.
    static std::vector<std::string> CallsFrom(size_t index);
    // The WPS outcome texts the callback received, in order.
    static std::vector<std::string> WpsMessages();

    HostapdAgent* agent_ = nullptr;
};

// A WPS agent whose spy runs: the radio was started on the simulator with WPS on.
class RunningWpsAgentTest : public WpsAgentTest {
protected:
    void SetUp() override;
    // Starts the agent with the configuration changes; true once its spy runs and has reported
    // the station count.
    bool StartAgent(const radio_env::Settings& changes);
};

#endif
