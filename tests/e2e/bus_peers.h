#ifndef WLAN_TESTS_E2E_BUS_PEERS_H
#define WLAN_TESTS_E2E_BUS_PEERS_H

#include <libubus.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

struct ubus_test_server;

namespace e2e {

// The web interface: a bus client on a connection of its own, used from the test's thread.
class WebUi {
public:
    WebUi();
    ~WebUi();
    WebUi(const WebUi&) = delete;
    WebUi& operator=(const WebUi&) = delete;

    bool Connected() const { return ctx_ != nullptr; }
    // Calls a method with a JSON object of arguments; returns the call's status. Replies, as
    // compact JSON, go to reply (one line each) when it is given.
    int Call(const std::string& object, const std::string& method, const std::string& json_args,
             std::string* reply = nullptr, int timeout_ms = 20000);
    // Broadcasts an event with a JSON object.
    int SendEvent(const std::string& type, const std::string& json);

private:
    bool Prepare(const std::string& json);

    ubus_context* ctx_ = nullptr;
    blob_buf buf_ = {};
};

// The platform's mobile-AP manager: the bus object "qcmap" with the method
// "qcmap_method_restart_wlan", served on a thread of its own as another process would. It
// records the "reload_driver" value of every call (-1 when the field is missing).
class FakeQcmap {
public:
    FakeQcmap();
    ~FakeQcmap();
    FakeQcmap(const FakeQcmap&) = delete;
    FakeQcmap& operator=(const FakeQcmap&) = delete;

    bool Registered() const { return server_ != nullptr; }
    std::vector<int> Calls() const;
    bool WaitForCalls(size_t count, unsigned timeout_ms) const;
    // Called by the method handler on the serving thread.
    void Record(int reload_driver);

private:
    ubus_context* ctx_ = nullptr;
    ubus_test_server* server_ = nullptr;
    mutable std::mutex mutex_;
    mutable std::condition_variable called_;
    std::vector<int> calls_;
};

}  // namespace e2e

#endif
