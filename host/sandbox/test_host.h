#ifndef WLAN_HOST_TEST_HOST_H
#define WLAN_HOST_TEST_HOST_H

#include <stddef.h>
#include <stdint.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hostapd_agent.h"

struct ubus_context;

// A reference host daemon for tests and the demo: it runs one HostapdAgent the way the device's
// daemon does and records every event the library raises. Its count-down and registered
// callbacks answer in the callback, on the delivering thread: WLAN_OFF 1 and AUTO_DOWN with
// StopSpy, WLAN_OFF 3 with StopSpy then StartSpy, WLAN_ON with StartSpy (the library never
// delivers these on the spy thread, from which StopSpy would wait for itself).
// Only one TestHost may exist at a time (callbacks are plain functions).
namespace test_host {

enum class Receiver { kCountDown, kRegistered };

struct HostEvent {
    Receiver receiver;
    ha_wlan_event_type type;
    std::string text;  // payload of HA_WLAN_EVT_STA_NUM and HA_WLAN_EVT_WPS, copied in the call
    intptr_t value;    // integer payload of the other events
    std::chrono::steady_clock::time_point when;
};

// One answer of the host: the agent call it made and what the call returned.
struct HostAction {
    enum Kind { kStopSpy, kStartSpy } kind;
    int result;
};

struct Options {
    // Hand the agent a bus connection of the host's own (SetUbusContext); the host then serves
    // it on a loop thread of its own, as a daemon's event loop would.
    bool host_connection = false;
    // Whether the callbacks answer requests; when false they are only recorded.
    bool answer_requests = true;
};

class TestHost {
public:
    explicit TestHost(const Options& options = Options());
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Whether the callbacks were installed and, when asked for, the host connection made.
    bool Ready() const { return ready_; }
    HostapdAgent& agent() { return *agent_; }

    int StartSpy();
    int StopSpy();
    void HandleMsg(const std::string& msg);

    // Events recorded so far, oldest first. A test takes EventCount() as a mark before it
    // acts and then waits for what arrives after the mark.
    std::vector<HostEvent> Events() const {
        return Locked([this] { return events_; });
    }
    size_t EventCount() const {
        return Locked([this] { return events_.size(); });
    }
    // Waits up to timeout_ms for an event at index from or later that matches; returns its
    // index, or -1.
    long WaitFor(const std::function<bool(const HostEvent&)>& match, unsigned timeout_ms,
                 size_t from = 0) const;
    long WaitForStaNum(const std::string& count, unsigned timeout_ms, size_t from = 0) const {
        return WaitFor(
            [&](const HostEvent& e) { return e.type == HA_WLAN_EVT_STA_NUM && e.text == count; },
            timeout_ms, from);
    }
    long WaitForEvent(ha_wlan_event_type type, unsigned timeout_ms, size_t from = 0) const {
        return WaitFor([&](const HostEvent& e) { return e.type == type; }, timeout_ms, from);
    }

    // Answers so far, each recorded when its agent call has returned.
    std::vector<HostAction> Actions() const {
        return Locked([this] { return actions_; });
    }
    bool WaitForActions(size_t count, unsigned timeout_ms) const;

private:
    template <class Read>
    auto Locked(Read read) const -> decltype(read()) {
        std::lock_guard<std::mutex> lock(mutex_);
        return read();
    }
    template <Receiver kReceiver>
    static void Callback(ha_wlan_event_type type, void* data);
    void Record(Receiver receiver, ha_wlan_event_type type, void* data);
    void Answer(bool stop, bool start);
    void StartHostLoop();

    Options options_;
    bool ready_ = false;
    bool callbacks_initialised_ = false;
    HostapdAgent* agent_ = nullptr;
    ubus_context* host_ctx_ = nullptr;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<HostEvent> events_;
    std::vector<HostAction> actions_;
    bool closing_ = false;
    int answering_ = 0;  // answers in progress; the destructor waits for them

    int loop_stop_fd_ = -1;
    std::thread host_loop_;
};

}  // namespace test_host

#endif
