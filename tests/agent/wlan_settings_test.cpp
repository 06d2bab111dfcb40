#include "agent/wlan_settings.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/support/log_capture.h"

using UciReaders = SandboxTest;

TEST_F(UciReaders, ReadTheirOwnOptionsAsDecimalNumbersUpToTheFirstNonDigit) {
    struct Case {
        const char* options;
        long user, system, wisp;
    };
    const Case cases[] = {
        {"\toption disable_time '300'\n\toption disable_time_system '1200'\n"
         "\toption wisp_status '1'\n",
         300, 1200, 1},
        // Missing or non-numeric values read as zero.
        {"\toption disable_time 'abc'\n\toption wisp_status ''\n", 0, 0, 0},
        {"\toption disable_time ' 42 minutes'\n\toption disable_time_system '-5'\n", 42, -5, 0},
    };
    for (const Case& c : cases) {
        sandbox::WriteFile("/etc/config/wlan",
                           std::string("config basic_setting 'basic_setting'\n") + c.options);
        EXPECT_EQ(_get_wlan_auto_down_time(), c.user) << c.options;
        EXPECT_EQ(_get_wlan_auto_down_time_system(), c.system) << c.options;
        EXPECT_EQ(_get_wlan_wisp_enable_status(), c.wisp) << c.options;
    }
}

TEST_F(UciReaders, HugeOrLongOutputIsBounded) {
    sandbox::WriteFile("/usr/bin/uci", "#!/bin/sh\nprintf '%0300d' 7\n");
    sandbox::Run("chmod 755 /usr/bin/uci");
    EXPECT_EQ(_get_wlan_auto_down_time(), 0);  // 127 zeros are read, the 7 is beyond the buffer
    sandbox::WriteFile("/usr/bin/uci", "#!/bin/sh\necho 99999999999999999999\n");
    EXPECT_EQ(_get_wlan_auto_down_time(), INT32_MAX);
}

using StartSpyIdleTime = SandboxTest;

// The shorter idle time is chosen and named before the radio starts; a failed radio start is
// reported as an AP start failure.
TEST_F(StartSpyIdleTime, ShorterTimeIsChosenAndAFailedRadioStartReported) {
    agent_test::MakeRadioStartFail();
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"600", "300", "HostapdAgent::StartSpy: Set system auto down time [300] sec(s)"},
        {"300", "600", "HostapdAgent::StartSpy: Set auto down time [300] sec(s)"},
    };
    for (const auto& [user, system, log] : cases) {
        logcap::Clear();
        agent_test::WriteIdleTimes(user, system);
        HostapdAgent agent;
        EXPECT_TRUE(agent.GetFailHandled());
        EXPECT_EQ(agent.StartSpy(), 0);
        EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 300);
        EXPECT_TRUE(logcap::Has(logcap::Level5(), log));
        EXPECT_TRUE(agent.GetWlanOn());
        EXPECT_FALSE(agent.GetFailHandled());
        EXPECT_FALSE(agent.IsRunning());
        EXPECT_TRUE(logcap::Has(logcap::User(), "AP start failure detected!"));
    }
}
