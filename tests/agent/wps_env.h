#ifndef WLAN_TESTS_AGENT_WPS_ENV_H
#define WLAN_TESTS_AGENT_WPS_ENV_H

#include <string>
#include <vector>

#include "tests/agent/agent_test_support.h"
#include "tests/radio/radio_env.h"
#include "wpscli_test.h"

// An agent test with a fresh WPS library stand-in. TearDown disables WPS, which returns only
// once the worker thread has ended.
class WpsAgentTest : public AgentTest {
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
};

#endif
