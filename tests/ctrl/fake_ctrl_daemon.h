#ifndef WLAN_TESTS_CTRL_FAKE_CTRL_DAEMON_H
#define WLAN_TESTS_CTRL_FAKE_CTRL_DAEMON_H

#include <sys/socket.h>
#include <sys/un.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A control daemon of our own: a Unix datagram socket served by a thread, answering each
// command through a handler. It shows what a real daemon rarely does on cue: events before the
// reply, replies that never come, replies longer than the client's buffer.
class FakeCtrlDaemon {
public:
    // Runs on the daemon thread for every command; answers with Send().
    using Handler = std::function<void(const std::string& command, FakeCtrlDaemon& daemon)>;

    FakeCtrlDaemon(const std::string& path, Handler handler);
    ~FakeCtrlDaemon();

    bool Started() const { return fd_ >= 0; }
    // Sends one datagram to the client that sent the last command.
    bool Send(const std::string& text);
    // Waits up to timeout_ms for the daemon to be stopped; true once it is. Handlers that hold
    // back a reply use it so that the daemon still stops promptly.
    bool WaitForStop(int timeout_ms);
    // Commands received so far, in order.
    std::vector<std::string> Commands();

private:
    void Serve();

    std::string path_;
    Handler handler_;
    int fd_ = -1;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    sockaddr_un peer_ = {};
    socklen_t peer_len_ = 0;
    std::vector<std::string> commands_;
    std::thread thread_;
};

#endif
