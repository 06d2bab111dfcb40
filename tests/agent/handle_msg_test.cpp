#include <gtest/gtest.h>

#include <string>

#include "agent/countdown.h"
#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/support/log_capture.h"

namespace {

class HandleMsg : public AgentTest {
protected:
    void Send(const std::string& msg) {
        agent_->HandleMsg(msg.c_str(), static_cast<int>(msg.size()));
    }
};

}  // namespace

TEST_F(HandleMsg, JoinAndLeaveKeepTheListAndBroadcastTheCount) {
    long before = agent_test::MonotonicSeconds();
    Send("<3>AP-STA-CONNECTED 11:22:33:44:55:66");
    long after = agent_test::MonotonicSeconds();
    auto station = agent_test::FindStation(*agent_, "11:22:33:44:55:66");
    ASSERT_TRUE(station.has_value());
    EXPECT_STREQ(station->GetOnlineTime(), "00:00:00");
    long connected = std::stol(station->GetConnectedTime());
    EXPECT_GE(connected, before);
    EXPECT_LE(connected, after);
    EXPECT_EQ(RecordedCalls("ip"), "route flush cache\n");
    // A station is there: the user's idle time applies.
    EXPECT_TRUE(HostapdAgent::sta_associated_yet);
    EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 600);

    Send("AP-STA-DISCONNECTED \t11:22:33:44:55:66\n");  // blanks before the MAC
    EXPECT_EQ(agent_->GetStaNum(), 0);
    for (const char* log : {"STA JOIN [11:22:33:44:55:66]", "STA LEFT [11:22:33:44:55:66]",
                            "Current STA num: 1", "Current STA num: 0"})
        EXPECT_TRUE(logcap::Has(logcap::User(), log)) << log;
    EXPECT_EQ(recorder::Trace(), "1:1:1 1:1:0 ");
    EXPECT_TRUE(countdown_timer_armed());  // no station left
}

// Messages without a usable MAC change nothing; failures are checked first, and an
// authentication failure is only logged.
TEST_F(HandleMsg, MessagesWithoutAStationAndFailures) {
    Send("AP-STA-CONNECTED ");
    Send("   AP-STA-DISCONNECTED \t\n");
    Send("WPA-AUTH-FAILURE ");
    EXPECT_TRUE(logcap::Records().empty());
    Send("AP-STA-CONNECTED " + std::string(200, 'a'));
    Send(std::string(300, 'x') + "AP-STA-CONNECTED 11:22:33:44:55:66");
    EXPECT_EQ(logcap::Level5().size(), 2u);

    logcap::Clear();
    Send("WPA-AUTH-FAILURE 11:22:33:44:55:66 extra");
    auto records = logcap::Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text,
              "STA [11:22:33:44:55:66] try to connect but failed in authentication");
    EXPECT_EQ(records[0].priority, 5);

    logcap::Clear();
    Send("AP-FW-ERROR WPS-SUCCESS ");
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP FW Error detected!"));
    EXPECT_FALSE(logcap::Contains("WPS event"));
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);

    logcap::Clear();
    Send("AP-START-FAILURE AP-STA-CONNECTED 11:22:33:44:55:66");
    EXPECT_EQ(logcap::User(), std::vector<std::string>{"AP start failure detected!"});
    EXPECT_EQ(agent_->GetStaNum(), 0);
    EXPECT_TRUE(recorder::Events().empty());
    EXPECT_EQ(RecordedCalls("ip"), "");
}
