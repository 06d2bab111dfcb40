#include "tests/ctrl/ctrl_test_util.h"

#include <filesystem>

std::string Request(wpa_ctrl* ctrl, const std::string& command, int* result,
                    void (*msg_cb)(char*, size_t), size_t room) {
    std::vector<char> reply(room + 1);
    size_t len = room;
    *result = wpa_ctrl_request(ctrl, command.data(), command.size(), reply.data(), &len, msg_cb);
    return *result == 0 ? std::string(reply.data(), len) : std::string();
}

std::vector<std::string> LocalSocketFiles() {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("wpa_ctrl_", 0) == 0) found.push_back(entry.path().string());
    }
    return found;
}

namespace events {

std::vector<std::string>& Seen() {
    static std::vector<std::string> seen;
    return seen;
}

void Capture(char* msg, size_t len) {
    Seen().emplace_back(msg);
    EXPECT_EQ(len, Seen().back().size()) << "length given with \"" << Seen().back() << "\"";
}

}  // namespace events

void CtrlDaemonTest::SetUp() {
    SandboxTest::SetUp();
    events::Seen().clear();
}

void CtrlDaemonTest::TearDown() {
    wpa_ctrl_close(ctrl_);
    ctrl_ = nullptr;
    daemon_.reset();
}

void CtrlDaemonTest::Serve(FakeCtrlDaemon::Handler handler) {
    daemon_ = std::make_unique<FakeCtrlDaemon>(kDaemonSocket, std::move(handler));
    ASSERT_TRUE(daemon_->Started());
    ctrl_ = wpa_ctrl_open(kDaemonSocket);
    ASSERT_NE(ctrl_, nullptr);
}
