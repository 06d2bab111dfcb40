// One ubus_invoke waiting for its handler: reply data and status travel from the owner's loop
// thread to the caller.
#ifndef UBUS_STANDIN_PENDING_CALL_H
#define UBUS_STANDIN_PENDING_CALL_H

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "message.h"
#include "ubusmsg.h"

namespace ubus_standin {

class PendingCall {
public:
    // Owner side. Both are ignored once the caller stopped waiting.
    void AddReply(const blob_attr* msg);
    void Complete(int status);

    // Caller side: hands every reply to `on_reply` (without the lock) until the status arrives
    // or `deadline` passes (no deadline when `limited` is false); returns the status or
    // UBUS_STATUS_TIMEOUT.
    template <typename OnReply>
    int Await(bool limited, std::chrono::steady_clock::time_point deadline, OnReply on_reply);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Message> replies_;
    bool done_ = false;
    bool abandoned_ = false;
    int status_ = 0;
};

template <typename OnReply>
int PendingCall::Await(bool limited, std::chrono::steady_clock::time_point deadline,
                       OnReply on_reply) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        while (!replies_.empty()) {
            Message reply = std::move(replies_.front());
            replies_.pop_front();
            lock.unlock();
            on_reply(reply.Attr());
            lock.lock();
        }
        if (done_) return status_;
        if (!limited) {
            changed_.wait(lock);
        } else if (changed_.wait_until(lock, deadline) == std::cv_status::timeout &&
                   replies_.empty() && !done_) {
            abandoned_ = true;
            return UBUS_STATUS_TIMEOUT;
        }
    }
}

}  // namespace ubus_standin

#endif
