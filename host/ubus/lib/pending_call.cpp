#include "pending_call.h"

namespace ubus_standin {

void PendingCall::AddReply(const blob_attr* msg) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (done_ || abandoned_) return;
    replies_.emplace_back(msg);
    changed_.notify_all();
}

void PendingCall::Complete(int status) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (done_ || abandoned_) return;
    status_ = status;
    done_ = true;
    changed_.notify_all();
}

}  // namespace ubus_standin
