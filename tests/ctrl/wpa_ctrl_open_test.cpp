// Opening and closing handles: local socket files, stale files, path bounds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/ctrl/ctrl_test_util.h"

namespace {

bool IsSocket(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// The counter part of "/tmp/wpa_ctrl_<pid>-<n>".
int LocalNumber(const wpa_ctrl* ctrl) {
    const std::string prefix = "/tmp/wpa_ctrl_" + std::to_string(getpid()) + "-";
    const std::string path = ctrl->local.sun_path;
    if (path.rfind(prefix, 0) != 0) return -1;
    return std::stoi(path.substr(prefix.size()));
}

using WpaCtrlOpen = CtrlDaemonTest;

TEST_F(WpaCtrlOpen, EachHandleBindsItsOwnLocalFileAndCloseRemovesIt) {
    Serve(nullptr);
    wpa_ctrl* second = wpa_ctrl_open(kDaemonSocket);
    ASSERT_NE(second, nullptr);
    EXPECT_GT(LocalNumber(ctrl_), 0);
    EXPECT_EQ(LocalNumber(second), LocalNumber(ctrl_) + 1);
    EXPECT_TRUE(IsSocket(ctrl_->local.sun_path));
    EXPECT_TRUE(IsSocket(second->local.sun_path));
    EXPECT_STREQ(ctrl_->dest.sun_path, kDaemonSocket);

    wpa_ctrl_close(ctrl_);
    ctrl_ = nullptr;
    EXPECT_EQ(LocalSocketFiles().size(), 1u);
    wpa_ctrl_close(second);
    EXPECT_TRUE(LocalSocketFiles().empty());
    wpa_ctrl_close(nullptr);
}

TEST_F(WpaCtrlOpen, StaleLocalFileFromAnEarlierRunIsReplaced) {
    Serve(nullptr);
    const std::string stale =
        "/tmp/wpa_ctrl_" + std::to_string(getpid()) + "-" + std::to_string(LocalNumber(ctrl_) + 1);
    // A socket file left behind as by a process that ended without closing its handle.
    int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    memcpy(addr.sun_path, stale.c_str(), stale.size() + 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    close(fd);

    wpa_ctrl* ctrl = wpa_ctrl_open(kDaemonSocket);
    ASSERT_NE(ctrl, nullptr);
    EXPECT_EQ(std::string(ctrl->local.sun_path), stale);
    wpa_ctrl_close(ctrl);
}

TEST_F(WpaCtrlOpen, FailsForAPathBeyondTheSocketAddressOrWithoutDaemon) {
    // 107 characters fit sun_path with its terminator; 108 do not.
    std::string dir = "/tmp/" + std::string(96, 'd');
    std::filesystem::create_directories(dir);
    const std::string longest = dir + "/" + std::string(107 - dir.size() - 1, 's');
    ASSERT_EQ(longest.size(), 107u);
    FakeCtrlDaemon daemon(longest, nullptr);
    ASSERT_TRUE(daemon.Started());
    wpa_ctrl* ctrl = wpa_ctrl_open(longest.c_str());
    ASSERT_NE(ctrl, nullptr);
    wpa_ctrl_close(ctrl);

    // Failures must not leave behind the local file bound before the check.
    EXPECT_EQ(wpa_ctrl_open((longest + "x").c_str()), nullptr);
    EXPECT_EQ(wpa_ctrl_open("/tmp/fake_ctrl/none"), nullptr);
    EXPECT_EQ(wpa_ctrl_open(nullptr), nullptr);
    EXPECT_TRUE(LocalSocketFiles().empty());
}

TEST_F(WpaCtrlOpen, SocketIsNonBlockingAndNotInheritedByCommands) {
    Serve(nullptr);
    const int fd = wpa_ctrl_get_fd(ctrl_);
    EXPECT_EQ(fd, ctrl_->s);
    EXPECT_NE(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
}

}  // namespace
