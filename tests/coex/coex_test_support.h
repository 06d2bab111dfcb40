#ifndef WLAN_TESTS_COEX_SUPPORT_H
#define WLAN_TESTS_COEX_SUPPORT_H

#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include "coex/coex_state.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "wlanmgr.h"

// A fresh agent handed to the coexistence code, and a recorder in place of the platform's
// Wi-Fi restart request.
class CoexTest : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        restarts = 0;
        saved_restart = coex_set_restart_request(&CountRestart);
        agent.reset(new HostapdAgent());
        bcm_lte_coex_set_shadow_agent(agent.get());
    }
    void TearDown() override {
        if (saved_restart != nullptr) coex_set_restart_request(saved_restart);
        bcm_lte_coex_set_shadow_agent(nullptr);
        agent.reset();
    }

    lte_coex_state_t& coex() { return agent->lte_coex; }
    // "state band freq mask operational", band and mask in hexadecimal.
    std::string State() {
        const lte_coex_state_t& c = coex();
        char text[64];
        snprintf(text, sizeof(text), "%d %x %u %x %d", c.wwan_state, c.wwan_band, c.wwan_freq,
                 c.acs_chan_mask, c.wwan_operational);
        return text;
    }

    static int CountRestart() {
        ++restarts;
        return 0;
    }
    static bool HasLevel5(const std::string& text) { return logcap::Has(logcap::Level5(), text); }

    std::unique_ptr<HostapdAgent> agent;
    CoexRestartRequest saved_restart = nullptr;
    static inline int restarts = 0;
};

#endif
