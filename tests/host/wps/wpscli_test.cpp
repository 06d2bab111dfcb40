// The library's WPS worker relies on the WPS library stand-in for a cancel that reaches it
// before the worker started the session it was meant for: that session ends aborted.
#include "wpscli.h"

#include <gtest/gtest.h>

#include "wpscli_test.h"

namespace {

// A push-button session as the library's worker runs it: start, exchange while told to go on,
// close; the status that ended it.
brcm_wpscli_status Session() {
    brcm_wpscli_nw_settings nw{};
    uint8_t peer[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
    brcm_wpscli_status status =
        brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw, 120, peer, 0, 0);
    while (status == BRCM_WPSCLI_SUCCESS || status == BRCM_WPSCLI_CONTINUE) {
        status = brcm_wpscli_softap_process_eapwps(peer);
        if (status != BRCM_WPSCLI_CONTINUE) break;
    }
    brcm_wpscli_softap_close_session();
    return status;
}

TEST(WpsCli, AbortBeforeTheSessionEndsTheNextOne) {
    wpscli_test_reset();
    const wpscli_test_step steps[] = {{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_SUCCESS, 0}};
    ASSERT_EQ(wpscli_test_set_exchange(steps, 2), 0);
    EXPECT_EQ(brcm_wpscli_abort(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(Session(), BRCM_WPSCLI_ABORTED);
    EXPECT_EQ(Session(), BRCM_WPSCLI_SUCCESS);
}

}  // namespace
