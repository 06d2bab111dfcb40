#ifndef WLAN_TESTS_PLATFORM_WPSCLI_FIXTURE_H
#define WLAN_TESTS_PLATFORM_WPSCLI_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "wpscli_test.h"

// Every test starts and ends with a stand-in that has no record and no script.
class WpsCliTest : public ::testing::Test {
protected:
    void SetUp() override { wpscli_test_reset(); }
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
    static brcm_wpscli_nw_settings Settings(const char* ssid, const char* key) {
        brcm_wpscli_nw_settings nw{};
        snprintf(nw.ssid, sizeof(nw.ssid), "%s", ssid);
        snprintf(nw.nw_key, sizeof(nw.nw_key), "%s", key);
        nw.auth_type = BRCM_WPSCLI_AUTH_WPAPSK;
        nw.encr_type = BRCM_WPSCLI_ENCR_AES;
        return nw;
    }
};

#endif
