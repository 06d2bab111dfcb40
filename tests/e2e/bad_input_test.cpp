// Input the agent does not choose: control-interface messages of any shape from the host and
// radio output that is missing, failing or garbled.
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"

using namespace e2e;

namespace {
const std::string kMac = "02:12:34:56:78:9a";
}  // namespace

using BadInput = E2eTest;

// The station list starts with 7 garbage lines (empty, too short for a MAC, over-long, bytes
// outside ASCII, shell text where the MAC belongs), then the real list and a last line without
// a line break.
TEST_F(BadInput, GarbledStationListIsCountedLineByLineAndNeverRunAsCommands) {
    WrapWlarm(
        "if [ \"$1\" = autho_sta_list ]; then\n"
        "    printf '\\nx\\nautho_sta_list\\n'\n"
        "    printf 'autho_sta_list %0300d\\n' 0\n"
        "    printf '\\001\\002\\377\\376 autho_sta_list \\377\\n'\n"
        "    printf 'autho_sta_list ;touch${IFS}/tmp/pwned;\\n'\n"
        "    /usr/bin/wlarm.sim \"$@\"\n"
        "    printf 'tail-without-line-break'\n"
        "    exit 0\n"
        "fi\n");
    StartAp();
    ASSERT_TRUE(Sim("sta auth " + kMac));
    ASSERT_GE(host_->WaitForStaNum("8", kEventWaitMs, host_->EventCount()), 0)
        << "every line of the list counts";
    // A client asking for the list makes the agent rebuild it from the same output.
    EXPECT_GE(host_->agent().GetStaList()->GetNum(), 1);

    EXPECT_EQ(host_->StopSpy(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate"), std::vector<std::string>{"deauthenticate " + kMac})
        << "only a well-formed MAC reaches a command line";
    EXPECT_FALSE(sandbox::Exists("/tmp/pwned"));
    EXPECT_EQ(host_->agent().GetStaNum(), 0) << "the stop empties the list";
}

TEST_F(BadInput, HostMessagesOfAnyShapeAndSilentOrFailingRadioAreSurvived) {
    ASSERT_TRUE(Sim("fault silent chanspec"));  // the channel cannot be read back
    StartAp();
    HostapdAgent& agent = host_->agent();
    EXPECT_EQ(agent.lte_coex.ap_oper_chan, 0u);
    std::string binary;
    for (int i = 1; i < 256; ++i) binary += static_cast<char>(i);
    // Malformed joins and leaves are the agent tests' concern; these are the sizes and bytes.
    for (const std::string& msg :
         {std::string(), std::string(100 * 1024, 'A'), binary + binary,
          "AP-STA-CONNECTED " + std::string(100 * 1024, 'B'), "AP-STA-CONNECTED " + binary,
          std::string("WPS"), std::string("WPS-NOT-AN-OUTCOME ")})
        host_->HandleMsg(msg);
    EXPECT_EQ(agent.GetLastWPSResult(), 5) << "no WPS outcome was in the messages";
    const int before = agent.GetStaNum();
    host_->HandleMsg("<3>AP-STA-CONNECTED " + kMac);  // a well-formed join is still taken
    EXPECT_EQ(agent.GetStaNum(), before + 1);
    host_->HandleMsg("<3>AP-STA-DISCONNECTED " + kMac);
    EXPECT_EQ(agent.GetStaNum(), before);

    ASSERT_TRUE(Sim("sta auth " + kMac));
    for (const char* fault : {"silent", "fail"}) {
        ASSERT_TRUE(Sim(std::string("fault ") + fault + " autho_sta_list"));
        ASSERT_GE(host_->WaitForStaNum("0", kEventWaitMs, host_->EventCount()), 0) << fault;
    }
    EXPECT_EQ(agent.GetStaList()->GetNum(), 0);
    ASSERT_TRUE(Sim("fault clear"));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    EXPECT_TRUE(agent.IsRunning());
    // A failing deauthentication still lets the radio go down.
    ASSERT_TRUE(Sim("fault fail deauthenticate"));
    EXPECT_EQ(host_->StopSpy(), 0);
    EXPECT_TRUE(logcap::Contains("Deauthenticate all online station failed"));
    EXPECT_EQ(Wlarm("isup"), "0");
}
