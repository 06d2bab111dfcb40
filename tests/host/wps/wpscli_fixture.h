#ifndef WLAN_TESTS_HOST_WPS_WPSCLI_FIXTURE_H
#define WLAN_TESTS_HOST_WPS_WPSCLI_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "wpscli.h"
#include "wpscli_test.h"

// Every test starts and ends with a stand-in that has no record and no script.
class WpsCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        wpscli_test_reset();
        snprintf(nw_.ssid, sizeof(nw_.ssid), "Home");
        snprintf(nw_.nw_key, sizeof(nw_.nw_key), "secret passphrase");
        nw_.auth_type = BRCM_WPSCLI_AUTH_WPAPSK;
        nw_.encr_type = BRCM_WPSCLI_ENCR_AES;
    }
    void TearDown() override { wpscli_test_reset(); }

    static wpscli_test_call Call(size_t index) {
        wpscli_test_call call{};
        EXPECT_EQ(wpscli_test_get_call(index, &call), 0) << "no call " << index;
        return call;
    }
    static std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        wpscli_test_call call;
        for (size_t i = 0; wpscli_test_get_call(i, &call) == 0; ++i) lines.push_back(call.line);
        return lines;
    }
    // A push-button session as the agent's worker starts it.
    brcm_wpscli_status StartPbc() {
        return brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw_, 120, peer_, 0,
                                            0);
    }
    brcm_wpscli_status Process() { return brcm_wpscli_softap_process_eapwps(peer_); }

    brcm_wpscli_nw_settings nw_{};
    uint8_t peer_[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
};

#endif
