#include "tests/support/sandbox.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/log_capture.h"
#include "util/log.h"

using Sandbox = SandboxTest;

TEST_F(Sandbox, WritesStayInsideAndResetForgetsThem) {
    sandbox::WriteFile("/etc/hostapd.conf", "ssid=test\n");
    sandbox::WriteFile("/var/run/marker", "1");
    sandbox::WriteFile("/tmp/marker", "1");
    sandbox::Reset();
    EXPECT_FALSE(sandbox::Exists("/etc/hostapd.conf"));
    EXPECT_FALSE(sandbox::Exists("/var/run/marker"));
    EXPECT_FALSE(sandbox::Exists("/tmp/marker"));
    EXPECT_TRUE(sandbox::Exists(sandbox::BuildDir()));
}

// A faulty build that writes outside the private directories (a relative path resolved against
// "/", a stray absolute path) must fail there instead of changing the machine.
TEST_F(Sandbox, EverythingElseIsReadOnly) {
    for (std::string dir :
         {std::string("/"), sandbox::SourceDir(), sandbox::BuildDir(), std::string("/usr/lib")}) {
        std::string path = dir + "/wlan-sandbox-probe";
        int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) close(fd);
        EXPECT_EQ(fd, -1) << path;
        EXPECT_EQ(errno, EROFS) << path;
    }
}

TEST_F(Sandbox, ArpEntriesShowInProcNetArpWithTheirFlags) {
    ASSERT_EQ(
        sandbox::Run("ip neigh add 192.0.2.20 lladdr aa:bb:cc:dd:ee:01 dev br0 nud permanent"), 0);
    std::string arp = sandbox::ReadFile("/proc/net/arp");
    EXPECT_NE(arp.find("192.0.2.20"), std::string::npos);
    EXPECT_NE(arp.find("0x6"), std::string::npos);
    EXPECT_NE(arp.find("aa:bb:cc:dd:ee:01"), std::string::npos);
}

TEST(LogSinks, EachSinkUsesItsBufferTagAndPriority) {
    logcap::Clear();
    wlan_errlog(WLAN_PRIO_WARN, "error %d", 1);
    wlan_userlog(WLAN_PRIO_INFO, "user %s", "x");
    wlan_syslog("system");
    __wlan_log(5, "level five %s", "100%");
    __wlan_log(3, "trace only");
    auto records = logcap::Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].tag, "WLAN");
    EXPECT_EQ(records[0].priority, 5);
    EXPECT_EQ(records[0].text, "error 1");
    EXPECT_EQ(records[1].buffer, 0);
    EXPECT_EQ(records[1].tag, "WLAN_-_user");
    EXPECT_EQ(records[1].priority, 4);
    EXPECT_EQ(records[2].buffer, 3);
    EXPECT_EQ(records[2].priority, 6);
    EXPECT_EQ(records[3].text, "level five 100%");
    EXPECT_EQ(records[3].buffer, 3);
}

TEST(LogSinks, WlanLogKeepsAtMost126Characters) {
    logcap::Clear();
    __wlan_log(5, "%s", std::string(300, 'a').c_str());
    auto lines = logcap::Level5();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(126, 'a'));
}
