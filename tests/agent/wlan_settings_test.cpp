#include "agent/wlan_settings.h"

#include <gtest/gtest.h>

#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/support/log_capture.h"

using UciReaders = SandboxTest;

TEST_F(UciReaders, ReadTheirOwnOptionsAsDecimalNumbers) {
    sandbox::WriteFile("/etc/config/wlan",
                       "config basic_setting 'basic_setting'\n"
                       "\toption disable_time '300'\n"
                       "\toption disable_time_system '1200'\n"
                       "\toption wisp_status '1'\n");
    EXPECT_EQ(_get_wlan_auto_down_time(), 300);
    EXPECT_EQ(_get_wlan_auto_down_time_system(), 1200);
    EXPECT_EQ(_get_wlan_wisp_enable_status(), 1);
}

TEST_F(UciReaders, MissingOrNonNumericValuesReadAsZero) {
    sandbox::WriteFile("/etc/config/wlan",
                       "config basic_setting 'basic_setting'\n"
                       "\toption disable_time 'abc'\n"
                       "\toption wisp_status ''\n");
    EXPECT_EQ(_get_wlan_auto_down_time(), 0);
    EXPECT_EQ(_get_wlan_auto_down_time_system(), 0);
    EXPECT_EQ(_get_wlan_wisp_enable_status(), 0);
}

TEST_F(UciReaders, ConversionStopsAtTheFirstNonDigit) {
    sandbox::WriteFile("/etc/config/wlan",
                       "config basic_setting 'basic_setting'\n"
                       "\toption disable_time ' 42 minutes'\n"
                       "\toption disable_time_system '-5'\n");
    EXPECT_EQ(_get_wlan_auto_down_time(), 42);
    EXPECT_EQ(_get_wlan_auto_down_time_system(), -5);
}

TEST_F(UciReaders, HugeOrLongOutputIsBounded) {
    sandbox::WriteFile("/usr/bin/uci", "#!/bin/sh\nprintf '%0300d' 7\n");
    sandbox::Run("chmod 755 /usr/bin/uci");
    EXPECT_EQ(_get_wlan_auto_down_time(), 0);  // 127 zeros are read, the 7 is beyond the buffer
    sandbox::WriteFile("/usr/bin/uci", "#!/bin/sh\necho 99999999999999999999\n");
    EXPECT_EQ(_get_wlan_auto_down_time(), INT32_MAX);
}

using StartSpyIdleTime = SandboxTest;

TEST_F(StartSpyIdleTime, ShorterSystemTimeIsChosenBeforeTheRadioStarts) {
    agent_test::WriteIdleTimes("600", "300");
    agent_test::MakeRadioStartFail();
    HostapdAgent agent;
    EXPECT_EQ(agent.StartSpy(), 0);
    EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 300);
    EXPECT_TRUE(logcap::Has(logcap::Level5(),
                            "HostapdAgent::StartSpy: Set system auto down time [300] sec(s)"));
}

TEST_F(StartSpyIdleTime, ShorterUserTimeIsChosenAndNamed) {
    agent_test::WriteIdleTimes("300", "600");
    agent_test::MakeRadioStartFail();
    HostapdAgent agent;
    EXPECT_EQ(agent.StartSpy(), 0);
    EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 300);
    EXPECT_TRUE(
        logcap::Has(logcap::Level5(), "HostapdAgent::StartSpy: Set auto down time [300] sec(s)"));
}

TEST_F(StartSpyIdleTime, FailedRadioStartIsReportedAsApStartFailure) {
    agent_test::WriteIdleTimes("600", "600");
    agent_test::MakeRadioStartFail();
    HostapdAgent agent;
    EXPECT_TRUE(agent.GetFailHandled());
    EXPECT_EQ(agent.StartSpy(), 0);
    EXPECT_TRUE(agent.GetWlanOn());
    EXPECT_FALSE(agent.GetFailHandled());
    EXPECT_FALSE(agent.IsRunning());
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP start failure detected!"));
}
