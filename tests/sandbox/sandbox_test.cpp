#include "tests/support/sandbox.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/log_capture.h"
#include "util/log.h"

using Sandbox = SandboxTest;

TEST_F(Sandbox, WritesStayInsideAndResetForgetsThem) {
    const char* const paths[] = {"/etc/hostapd.conf", "/var/run/marker", "/tmp/marker"};
    for (const char* path : paths) sandbox::WriteFile(path, "1");
    sandbox::Reset();
    for (const char* path : paths) EXPECT_FALSE(sandbox::Exists(path)) << path;
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
    for (const char* field : {"192.0.2.20", "0x6", "aa:bb:cc:dd:ee:01"})
        EXPECT_NE(arp.find(field), std::string::npos) << field;
}

// Each sink's buffer, tag, priority and text; __wlan_log keeps at most 126 characters.
TEST(LogSinks, EachSinkUsesItsBufferTagAndPriority) {
    logcap::Clear();
    wlan_errlog(WLAN_PRIO_WARN, "error %d", 1);
    wlan_userlog(WLAN_PRIO_INFO, "user %s", "x");
    wlan_syslog("system");
    __wlan_log(5, "level five %s", "100%");
    __wlan_log(3, "trace only");
    __wlan_log(5, "%s", std::string(300, 'a').c_str());
    std::vector<std::string> seen;
    for (const auto& r : logcap::Records())
        seen.push_back(std::to_string(r.buffer) + " " + r.tag + " " + std::to_string(r.priority) +
                       " " + r.text);
    EXPECT_EQ(seen, (std::vector<std::string>{"0 WLAN 5 error 1", "0 WLAN_-_user 4 user x",
                                              "3 WLAN 6 system", "3 WLAN 6 level five 100%",
                                              "3 WLAN 6 " + std::string(126, 'a')}));
}
