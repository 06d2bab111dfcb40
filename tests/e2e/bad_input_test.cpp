// Input the agent does not choose: control-interface messages of any shape from the host and
// radio output that is missing, failing or garbled.
#include <string>
#include <vector>

#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"

using e2e::kEventWaitMs;
using e2e::Sim;
using e2e::Wlarm;
using e2e::WlarmCallsOf;

namespace {

constexpr const char* kMac = "02:12:34:56:78:9a";

// Replaces the radio utility with a wrapper whose station list starts with garbage lines: an
// empty line, lines too short to hold a MAC, an over-long line, bytes outside ASCII, shell
// text where the MAC belongs, then the real list, and a last line without a line break. Every
// other command goes to the simulator.
constexpr int kGarbageLines = 7;
void InstallGarbledStationList() {
    ASSERT_EQ(sandbox::Run("mv /usr/bin/wlarm /usr/bin/wlarm.sim"), 0);
    sandbox::WriteFile("/usr/bin/wlarm",
                       "#!/bin/sh\n"
                       "if [ \"$1\" = autho_sta_list ]; then\n"
                       "    printf '\\n'\n"
                       "    printf 'x\\n'\n"
                       "    printf 'autho_sta_list\\n'\n"
                       "    printf 'autho_sta_list %0300d\\n' 0\n"
                       "    printf '\\001\\002\\377\\376 autho_sta_list \\377\\n'\n"
                       "    printf 'autho_sta_list ;touch${IFS}/tmp/pwned;\\n'\n"
                       "    /usr/bin/wlarm.sim \"$@\"\n"
                       "    printf 'tail-without-line-break'\n"
                       "    exit 0\n"
                       "fi\n"
                       "exec /usr/bin/wlarm.sim \"$@\"\n");
    ASSERT_EQ(sandbox::Run("chmod 755 /usr/bin/wlarm"), 0);
}

}  // namespace

using BadInput = E2eTest;

TEST_F(BadInput, HostMessagesOfAnyShapeAreSurvived) {
    StartAp();
    HostapdAgent& agent = host_->agent();

    std::string binary;
    for (int i = 1; i < 256; ++i) binary += static_cast<char>(i);
    std::vector<std::string> messages = {
        "",
        std::string(100 * 1024, 'A'),
        binary + binary,
        "AP-STA-CONNECTED",
        "<3>AP-STA-CONNECTED ",
        " \t\n AP-STA-DISCONNECTED \t\n",
        "WPA-AUTH-FAILURE ",
        "AP-STA-CONNECTED " + std::string(100 * 1024, 'B'),
        std::string(300, 'C') + "AP-STA-DISCONNECTED " + kMac,
        "WPS",
        "WPS-NOT-AN-OUTCOME ",
        "AP-STA-CONNECTED " + binary,
    };
    for (const std::string& msg : messages) host_->HandleMsg(msg);

    EXPECT_TRUE(agent.IsRunning());
    EXPECT_EQ(agent.GetLastWPSResult(), 5) << "no WPS outcome was in the messages";
    EXPECT_FALSE(sandbox::Exists("/tmp/pwned"));

    // The agent goes on: the spy still polls and a well-formed join is still taken.
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_STA_NUM, kEventWaitMs, host_->EventCount()), 0);
    int before = agent.GetStaNum();
    host_->HandleMsg(std::string("<3>AP-STA-CONNECTED ") + kMac);
    EXPECT_EQ(agent.GetStaNum(), before + 1);
    host_->HandleMsg(std::string("<3>AP-STA-DISCONNECTED ") + kMac);
    EXPECT_EQ(agent.GetStaNum(), before);
}

TEST_F(BadInput, GarbledStationListIsCountedLineByLineAndNeverRunAsCommands) {
    InstallGarbledStationList();
    StartAp();
    ASSERT_TRUE(Sim(std::string("sta auth ") + kMac));
    const std::string lines = std::to_string(kGarbageLines + 1);
    ASSERT_GE(host_->WaitForStaNum(lines, kEventWaitMs, host_->EventCount()), 0)
        << "every line of the list counts";

    // A client asking for the list makes the agent rebuild it from the same output.
    StaList* list = host_->agent().GetStaList();
    EXPECT_GE(list->GetNum(), 1);

    EXPECT_EQ(host_->StopSpy(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate"),
              std::vector<std::string>{std::string("deauthenticate ") + kMac})
        << "only a well-formed MAC reaches a command line";
    EXPECT_FALSE(sandbox::Exists("/tmp/pwned"));
    EXPECT_EQ(Wlarm("isup"), "0");
}

TEST_F(BadInput, SilentOrFailingRadioCommandsCountNoStation) {
    ASSERT_TRUE(Sim("fault silent chanspec"));  // the channel cannot be read back
    StartAp();
    EXPECT_EQ(host_->agent().lte_coex.ap_oper_chan, 0u);
    ASSERT_TRUE(Sim(std::string("sta auth ") + kMac));

    ASSERT_TRUE(Sim("fault silent autho_sta_list"));
    size_t mark = host_->EventCount();
    ASSERT_GE(host_->WaitForStaNum("0", kEventWaitMs, mark), 0);

    ASSERT_TRUE(Sim("fault fail autho_sta_list"));
    mark = host_->EventCount();
    ASSERT_GE(host_->WaitForStaNum("0", kEventWaitMs, mark), 0);
    EXPECT_EQ(host_->agent().GetStaList()->GetNum(), 0);

    // Once the radio answers again, the station is there.
    ASSERT_TRUE(Sim("fault clear"));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    EXPECT_TRUE(host_->agent().IsRunning());
}
