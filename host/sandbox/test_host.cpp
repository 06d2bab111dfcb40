#include "host/sandbox/test_host.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>

#include "host/sandbox/bus_connect.h"
#include "wlan_coex.h"

namespace test_host {
namespace {

std::atomic<TestHost*> g_host{nullptr};

constexpr intptr_t kWlanOffRestart = 3;

}  // namespace

TestHost::TestHost(const Options& options) : options_(options) {
    TestHost* expected = nullptr;
    if (!g_host.compare_exchange_strong(expected, this)) return;  // another host is alive

    agent_ = new HostapdAgent();
    callbacks_initialised_ = HostapdAgent::InitEventCb() == 0;
    HostapdAgent::RegCountDownCb(Callback<Receiver::kCountDown>);
    bool registered = wlan_mgr_event_cb_reg(Callback<Receiver::kRegistered>) == 0;
    bcm_lte_coex_set_shadow_agent(agent_);
    if (options_.host_connection) {
        host_ctx_ = test_bus::Connect();
        if (host_ctx_ != nullptr) agent_->SetUbusContext(host_ctx_);
    }
    ready_ = callbacks_initialised_ && registered && (!options_.host_connection || host_ctx_);
}

TestHost::~TestHost() {
    if (agent_ == nullptr) return;  // never became the host
    {
        // No new answers; one in progress on a delivering thread ends first.
        std::unique_lock<std::mutex> lock(mutex_);
        closing_ = true;
        changed_.wait(lock, [this] { return answering_ == 0; });
    }
    // The agent's teardown uses the host connection from this thread, so the host's loop must
    // have stopped serving it.
    if (host_loop_.joinable()) {
        uint64_t one = 1;
        ssize_t written = write(loop_stop_fd_, &one, sizeof(one));
        (void)written;  // an eventfd counter this far from its limit takes the write
        host_loop_.join();
        close(loop_stop_fd_);
    }
    bcm_lte_coex_set_shadow_agent(nullptr);
    delete agent_;
    if (host_ctx_ != nullptr) ubus_free(host_ctx_);
    wlan_mgr_event_cb_unreg(Callback<Receiver::kRegistered>);
    if (callbacks_initialised_) HostapdAgent::DeinitEventCb();
    g_host.store(nullptr);
}

int TestHost::StartSpy() {
    int result = agent_->StartSpy();
    StartHostLoop();
    return result;
}

int TestHost::StopSpy() { return agent_->StopSpy(); }

void TestHost::HandleMsg(const std::string& msg) {
    agent_->HandleMsg(msg.c_str(), static_cast<int>(msg.size()));
}

long TestHost::WaitFor(const std::function<bool(const HostEvent&)>& match, unsigned timeout_ms,
                       size_t from) const {
    long found = -1;
    auto seen = [&] {
        for (size_t i = from; i < events_.size() && found < 0; ++i)
            if (match(events_[i])) found = static_cast<long>(i);
        return found >= 0;
    };
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), seen);
    return found;
}

bool TestHost::WaitForActions(size_t count, unsigned timeout_ms) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                             [&] { return actions_.size() >= count; });
}

template <Receiver kReceiver>
void TestHost::Callback(ha_wlan_event_type type, void* data) {
    TestHost* host = g_host.load();
    if (host != nullptr) host->Record(kReceiver, type, data);
}

void TestHost::Record(Receiver receiver, ha_wlan_event_type type, void* data) {
    HostEvent event{receiver, type, "", 0, std::chrono::steady_clock::now()};
    if (type != HA_WLAN_EVT_STA_NUM && type != HA_WLAN_EVT_WPS)
        event.value = reinterpret_cast<intptr_t>(data);
    else if (data != nullptr)
        event.text = static_cast<const char*>(data);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }
    changed_.notify_all();

    if (!options_.answer_requests) return;
    if (type == HA_WLAN_EVT_AUTO_DOWN || type == HA_WLAN_EVT_WLAN_OFF)
        Answer(true, type == HA_WLAN_EVT_WLAN_OFF && event.value == kWlanOffRestart);
    if (type == HA_WLAN_EVT_WLAN_ON) Answer(false, true);
}

void TestHost::Answer(bool stop, bool start) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closing_) return;
        ++answering_;
    }
    auto done = [this](HostAction::Kind kind, int result) {
        std::lock_guard<std::mutex> lock(mutex_);
        actions_.push_back(HostAction{kind, result});
        changed_.notify_all();
    };
    if (stop) done(HostAction::kStopSpy, StopSpy());
    if (start) done(HostAction::kStartSpy, StartSpy());
    std::lock_guard<std::mutex> lock(mutex_);
    --answering_;
    changed_.notify_all();
}

// The agent registers its object and subscriptions on the host connection in its first
// successful start; from then on only the host's loop uses the connection.
void TestHost::StartHostLoop() {
    if (host_ctx_ == nullptr || agent_->GetUbusAssistant() == nullptr) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (host_loop_.joinable() || (loop_stop_fd_ = eventfd(0, EFD_CLOEXEC)) < 0) return;
    host_loop_ = std::thread([this] {
        for (;;) {
            pollfd fds[2] = {{host_ctx_->sock.fd, POLLIN, 0}, {loop_stop_fd_, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) continue;  // interrupted
            if (fds[1].revents != 0) return;
            if (fds[0].revents != 0) ubus_handle_event(host_ctx_);
        }
    });
}

}  // namespace test_host
