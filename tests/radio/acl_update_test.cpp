#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/radio/radio_env.h"
#include "tests/support/log_capture.h"

namespace {

class AclUpdate : public RadioAgentTest {
protected:
    void SetUp() override {
        RadioAgentTest::SetUp();
        if (IsSkipped()) return;
        memset(&bss_, 0, sizeof(bss_));
        memset(entries_, 0, sizeof(entries_));
        strcpy(entries_[0].mac, "02:11:22:33:44:0A");
        strcpy(entries_[1].mac, "02:11:22:33:44:0B");
        bss_.accept_mac = entries_;
        bss_.num_accept_mac = 2;
    }
    wlan_mgr_bss_config bss_;
    wlan_mgr_mac_entry entries_[2];
};

TEST_F(AclUpdate, WritesAndRunsTheFilterScript) {
    radio_env::WriteConf();
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    ASSERT_TRUE(radio_env::Sim("sta add 02:11:22:33:44:0B 02:11:22:33:44:0C"));
    bss_.macaddr_acl = 3;
    agent_->BcmUpdateAcl(&bss_);
    EXPECT_EQ(radio_env::Wlarm("macmode"), "1\n");
    EXPECT_EQ(radio_env::Wlarm("mac"), "mac 02:11:22:33:44:0A\nmac 02:11:22:33:44:0B\n");
    // A denied station that is associated now is sent away.
    EXPECT_EQ(radio_env::Wlarm("assoclist"), "assoclist 02:11:22:33:44:0C\n");
    EXPECT_TRUE(logcap::Errors().empty()) << testing::PrintToString(logcap::Errors());
}

TEST_F(AclUpdate, ScriptThatCannotBeWrittenIsNotRunAndAFailingOneIsReported) {
    ASSERT_EQ(sandbox::Run("mkdir /usr/bin/bcm_mac_filter.sh"), 0);
    bss_.macaddr_acl = 2;
    agent_->BcmUpdateAcl(&bss_);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Generate mac filter sh failed"));
    EXPECT_TRUE(radio_env::WlarmCalls().empty());

    ASSERT_EQ(sandbox::Run("rmdir /usr/bin/bcm_mac_filter.sh"), 0);
    ASSERT_TRUE(radio_env::Sim("fault fail mac"));
    logcap::Clear();
    agent_->BcmUpdateAcl(&bss_);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Run mac filter sh failed"));
    EXPECT_FALSE(logcap::Has(logcap::Errors(), "Generate mac filter sh failed"));
}

}  // namespace
