#ifndef WLAN_TESTS_CTRL_CTRL_TEST_UTIL_H
#define WLAN_TESTS_CTRL_CTRL_TEST_UTIL_H

#include <memory>
#include <string>
#include <vector>

#include "tests/ctrl/fake_ctrl_daemon.h"
#include "tests/support/sandbox.h"
#include "wpa_ctrl.h"

// Sends a command text and returns the reply text; *result receives the request's result.
std::string Request(wpa_ctrl* ctrl, const std::string& command, int* result,
                    void (*msg_cb)(char*, size_t) = nullptr, size_t room = 4096);

// The client socket files under /tmp ("wpa_ctrl_*").
std::vector<std::string> LocalSocketFiles();

// Message callback for wpa_ctrl_request that keeps the texts it was given (up to their
// terminator) and checks that each length it was given matches its text.
namespace events {

std::vector<std::string>& Seen();
void Capture(char* msg, size_t len);

}  // namespace events

// Sandbox fixture with a daemon of our own on kDaemonSocket and a handle ctrl_ opened to it.
class CtrlDaemonTest : public SandboxTest {
protected:
    static constexpr const char* kDaemonSocket = "/tmp/fake_ctrl/wlan0";

    void SetUp() override;
    void TearDown() override;
    // Starts the daemon with the handler (null: it answers nothing) and opens ctrl_.
    void Serve(FakeCtrlDaemon::Handler handler);

    std::unique_ptr<FakeCtrlDaemon> daemon_;
    wpa_ctrl* ctrl_ = nullptr;
};

#endif
